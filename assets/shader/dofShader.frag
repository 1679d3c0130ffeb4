#version 430 core
// One direction of the depth-of-field blur. Every pixel gathers its neighbours
// along the axis out to its own blur radius; a neighbour only counts when its own
// blur reaches back to this pixel, so a sharp subject neither smears over the
// blurred background nor collects it.
//
// The image carries the blur amount of every pixel in its alpha, so each tap is one
// fetch: the combine pass hands on the scene's amounts, the row pass the amounts of
// what it gathered.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform float bokehRadius; // pixels of blur at the full amount
uniform int isHorizontal;
// Taps on each side at the full radius. A uniform rather than a constant: a constant
// bound lets the compiler unroll the loop, and every pixel would pay for all taps.
uniform int tapsPerSide;

void main()
{
    vec4 centre = texture(image, uv);
    float amount = centre.a;
    // The column pass is the last and writes an opaque image.
    float radius = amount * bokehRadius;
    if (radius < 0.5) {
        fragColor = vec4(centre.rgb, isHorizontal == 1 ? amount : 1.0);
        return;
    }

    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 axis = isHorizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    vec3 sum = centre.rgb;
    float total = 1.0;
    float gatheredAmount = amount;
    for (int i = 1; i <= tapsPerSide; ++i) {
        float d = radius * float(i) / float(tapsPerSide);
        for (int side = -1; side <= 1; side += 2) {
            vec4 tap = texture(image, uv + axis * d * float(side));
            float reach = clamp(tap.a * bokehRadius - d + 1.0, 0.0, 1.0);
            sum += tap.rgb * reach;
            gatheredAmount += tap.a * reach;
            total += reach;
        }
    }
    // The row pass hands on the blur of what it gathered, not of the pixel alone:
    // colour spread sideways from a less blurred object then spreads upwards and
    // downwards as far as that object's blur, not the background's, and the
    // corners of the blur stay round instead of drawing lines.
    fragColor = vec4(sum / total, isHorizontal == 1 ? gatheredAmount / total : 1.0);
}
