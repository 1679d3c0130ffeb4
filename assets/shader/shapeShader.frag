#version 430 core
in vec4 vertexColor;
in vec2 uv;
out vec4 fragColor;

uniform sampler2D tex;
uniform int useTexture;

void main()
{
    // A textured shape shows its texture: buttons are drawn with a fully transparent
    // vertex colour, so the colour must not scale the picture away.
    if (useTexture == 1)
        fragColor = texture(tex, uv);
    else
        fragColor = vertexColor;
}
