#version 430 core
// Plain shading: every surface coloured by the direction it faces (x red, y green,
// z blue), lit just enough by the sun to keep shapes readable.
in SurfaceData {
    vec3 worldPosition;
    vec3 normal;
    vec3 tangent;
    vec2 uv;
    float viewDepth;
} surface;

layout(location = 0) out vec4 fragColor;   // colour, alpha = depth-of-field blur
layout(location = 1) out vec4 brightColor; // the parts brighter than 1

struct DirectionalLight {
    vec3 color;
    vec3 direction;
    int enabled;
};
uniform DirectionalLight dirL;

uniform float nearZ;
uniform float farZ;
uniform int showDepthMap;
uniform int drawNormal;
uniform float gamma;
uniform float focalDepth; // view-space z of the sharp plane (negative: in front)
uniform float focalRange;

// How far a fragment is out of focus, 0 sharp to 1 fully blurred. The focal range
// of 700 keeps about 7 units either side of the focal plane sharp and reaches full
// blur 35 units away; a larger range widens both.
float blurAmount(float viewDepth)
{
    float range = max(focalRange, 1.0);
    float offFocus = abs(viewDepth + focalDepth);
    return clamp((offFocus - 0.01 * range) / (0.04 * range), 0.0, 1.0);
}

void main()
{
    // A zero normal (in the model, or opposite ones interpolated) must not become NaN.
    float lengthSquared = dot(surface.normal, surface.normal);
    vec3 n = lengthSquared > 1e-12 ? surface.normal * inversesqrt(lengthSquared) : vec3(0.0, 1.0, 0.0);
    if (!gl_FrontFacing)
        n = -n;

    float blur = blurAmount(surface.viewDepth);
    brightColor = vec4(0.0, 0.0, 0.0, 1.0);
    // With drawNormal set the post-processing is skipped and this colour is shown as it is.
    if (drawNormal == 1) {
        fragColor = vec4(n * 0.5 + 0.5, blur);
        return;
    }

    vec3 colour;
    if (showDepthMap == 1) {
        colour = vec3(clamp((surface.viewDepth - nearZ) / (farZ - nearZ), 0.0, 1.0));
    } else {
        float sun = dirL.enabled == 1 ? max(dot(n, -normalize(dirL.direction)), 0.0) : 0.0;
        colour = (n * 0.5 + 0.5) * (0.7 + dirL.color * sun);
    }
    // The combine pass applies gamma; undo it here so the colours arrive as chosen.
    fragColor = vec4(pow(colour, vec3(max(gamma, 0.01))), blur);
}
