#version 430 core
in vec3 direction;

layout(location = 0) out vec4 fragColor;   // colour, alpha = depth-of-field blur
layout(location = 1) out vec4 brightColor;

uniform samplerCube skybox; // unit 10

// The faces are stored gamma-encoded; the combine pass encodes again.
const float faceGamma = 2.2;

void main()
{
    vec3 colour = pow(texture(skybox, direction).rgb, vec3(faceGamma));
    // The sky lies beyond everything, as far out of focus as anything gets.
    fragColor = vec4(colour, 1.0);
    brightColor = vec4(0.0, 0.0, 0.0, 1.0);
}
