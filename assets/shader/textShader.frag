#version 430 core
in vec2 uv;
out vec4 fragColor;

// The glyph bitmap on unit 0: its red channel is the glyph's coverage.
uniform sampler2D glyph;
uniform vec3 textColor;

void main()
{
    fragColor = vec4(textColor, texture(glyph, uv).r);
}
