#version 430 core
// One direction of the depth-of-field blur. Every pixel gathers its neighbours
// along the axis out to its own blur radius; a neighbour only counts when its own
// blur reaches back to this pixel, so a sharp subject neither smears over the
// blurred background nor collects it.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image2;                          // unit 0: the colours to blur
layout(binding = 1) uniform sampler2D focusSource; // unit 1: alpha holds the blur amount
uniform float bokehRadius; // pixels of blur at the full amount
uniform int isHorizontal;
uniform int ignore;

const int tapsPerSide = 16;

void main()
{
    vec3 centre = texture(image2, uv).rgb;
    float amount = texture(focusSource, uv).a;
    // The row pass hands the blur amounts on to the column pass in its alpha; the
    // column pass is the last and writes an opaque image.
    float radius = amount * bokehRadius;
    if (ignore == 1 || radius < 0.5) {
        fragColor = vec4(centre, isHorizontal == 1 ? amount : 1.0);
        return;
    }

    vec2 texel = 1.0 / vec2(textureSize(image2, 0));
    vec2 axis = isHorizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = centre;
    float total = 1.0;
    float gatheredAmount = amount;
    for (int i = 1; i <= tapsPerSide; ++i) {
        float d = radius * float(i) / float(tapsPerSide);
        for (int side = -1; side <= 1; side += 2) {
            vec2 tap = uv + axis * d * float(side);
            float tapAmount = texture(focusSource, tap).a;
            float reach = clamp(tapAmount * bokehRadius - d + 1.0, 0.0, 1.0);
            sum += texture(image2, tap).rgb * reach;
            gatheredAmount += tapAmount * reach;
            total += reach;
        }
    }
    // The row pass hands on the blur of what it gathered, not of the pixel alone:
    // colour spread sideways from a less blurred object then spreads upwards and
    // downwards as far as that object's blur, not the background's, and the
    // corners of the blur stay round instead of drawing lines.
    fragColor = vec4(sum / total, isHorizontal == 1 ? gatheredAmount / total : 1.0);
}
