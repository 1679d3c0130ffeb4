#version 430 core
in vec2 uv;
out vec4 fragColor;

// The splash picture on texture unit 0.
uniform sampler2D splashTexture;

void main()
{
    fragColor = vec4(texture(splashTexture, uv).rgb, 1.0);
}
