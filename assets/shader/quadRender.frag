#version 430 core
in vec2 uv;
out vec4 fragColor;

uniform sampler2D screenTexture;
uniform vec4 _quadcolor = vec4(1.0);

void main()
{
    fragColor = texture(screenTexture, uv) * _quadcolor;
}
