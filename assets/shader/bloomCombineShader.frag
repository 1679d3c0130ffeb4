#version 430 core
// Scene plus bloom, then exposure, tone mapping and gamma: the final colours, with
// the scene's depth-of-field blur amount handed on in alpha.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D bloomBlur; // the blurred bright parts
uniform sampler2D scene;     // the lit scene, linear HDR
uniform int bloom;
uniform int useACES;
uniform float gamma;
uniform float exposure;
// 1 when this is the finished picture (no depth of field after it): opaque then.
uniform int finalPicture = 0;

// Narkowicz's fit of the ACES filmic curve.
vec3 aces(vec3 x)
{
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main()
{
    vec4 lit = texture(scene, uv);
    vec3 hdr = lit.rgb;
    if (bloom == 1)
        hdr += texture(bloomBlur, uv).rgb;
    // Bounded above too: at an extreme exposure the ACES fit's square overflows a
    // float and infinity over infinity is NaN. Both curves are flat at 1 long before.
    hdr = clamp(hdr * exposure, vec3(0.0), vec3(65504.0));

    // Without ACES, the exponential exposure curve: still bounded by 1 and still
    // brighter with more exposure.
    vec3 mapped = useACES == 1 ? aces(hdr) : vec3(1.0) - exp(-hdr);
    mapped = pow(clamp(mapped, 0.0, 1.0), vec3(1.0 / max(gamma, 0.01)));
    fragColor = vec4(mapped, finalPicture == 1 ? 1.0 : lit.a);
}
