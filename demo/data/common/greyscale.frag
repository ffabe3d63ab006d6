#version 120
uniform sampler2D scene;

void main()
{
    vec3 colour = texture2D(scene, gl_TexCoord[0].xy).rgb;
    float luminance = dot(colour, vec3(0.299, 0.587, 0.114));
    gl_FragColor = vec4(luminance, luminance, luminance, 1.0);
}
