#version 430 core
// Round flecks in the instance colour. Particles are drawn without blending, so
// the square's corners are cut away rather than faded.
in vec2 squareUV;
in vec4 colour;

layout(location = 0) out vec4 fragColor;   // colour, alpha = depth-of-field blur
layout(location = 1) out vec4 brightColor;

void main()
{
    float r2 = dot(squareUV, squareUV);
    if (r2 > 1.0)
        discard;
    // A little brighter in the middle, so a fleck reads as a small ball of dust.
    vec3 shade = colour.rgb * (1.2 - 0.4 * r2);
    // Flecks fly around the player, who is in focus: keep them sharp.
    fragColor = vec4(shade, 0.0);
    brightColor = vec4(0.0, 0.0, 0.0, 1.0);
}
