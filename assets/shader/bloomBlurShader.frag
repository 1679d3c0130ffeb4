#version 430 core
// One direction of a separable Gaussian over the bright parts. The width follows
// the image height, so the glow looks the same at any window size.
in vec2 uv;
out vec4 fragColor;

uniform sampler2D image;
uniform int horizontal;

const int tapsPerSide = 12;

void main()
{
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 axis = horizontal == 1 ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);
    // Sigma of 1.5 % of the height (12 pixels at 800), sampled out to 3 sigma;
    // linear filtering fills in between the taps.
    float sigma = max(1.0, 0.015 / texel.y);
    float step = 3.0 * sigma / float(tapsPerSide);

    vec3 sum = texture(image, uv).rgb;
    float total = 1.0;
    for (int i = 1; i <= tapsPerSide; ++i) {
        float d = step * float(i);
        float w = exp(-0.5 * d * d / (sigma * sigma));
        sum += w * (texture(image, uv + axis * d).rgb + texture(image, uv - axis * d).rgb);
        total += 2.0 * w;
    }
    fragColor = vec4(sum / total, 1.0);
}
