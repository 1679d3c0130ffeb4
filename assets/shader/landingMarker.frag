#version 430 core
// A soft round shadow: dark in the middle, fading to nothing at the rim. Blending keeps
// the scene colour's alpha (the depth-of-field blur) as it was.
in vec2 local;

uniform float strength;

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 brightColor;

void main()
{
    // The lit scene is bright before tone mapping: the middle must be dark to show.
    float shade = strength * (1.0 - smoothstep(0.3, 1.0, length(local)));
    if (shade <= 0.0)
        discard;
    fragColor = vec4(0.0, 0.0, 0.0, shade);
    brightColor = vec4(0.0, 0.0, 0.0, shade);
}
