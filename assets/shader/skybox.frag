#version 430 core
in vec3 direction;

layout(location = 0) out vec4 fragColor;   // colour, alpha = depth-of-field blur
layout(location = 1) out vec4 brightColor;

uniform samplerCube skybox;

// The faces are stored gamma-encoded, decoded with the same gamma as the reflections
// of the sky on the surfaces; the combine pass encodes again.
uniform float gamma;

void main()
{
    vec3 colour = pow(texture(skybox, direction).rgb, vec3(max(gamma, 0.01)));
    // The sky lies beyond everything, as far out of focus as anything gets.
    fragColor = vec4(colour, 1.0);
    brightColor = vec4(0.0, 0.0, 0.0, 1.0);
}
