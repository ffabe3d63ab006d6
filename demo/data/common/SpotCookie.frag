#version 120
uniform sampler2D cookie;
uniform vec4 lightColour;
uniform vec4 surfaceColour;
uniform vec4 spotParams; // cos(inner / 2), cos(outer / 2), falloff
uniform vec4 lightDirection;
varying vec4 cookieClip;
varying vec3 toLight;
varying vec3 normal;

void main()
{
    vec3 direction = normalize(toLight);
    float facing = max(dot(normalize(normal), direction), 0.0);
    float cone = clamp((dot(-direction, normalize(lightDirection.xyz)) - spotParams.y) /
                           max(spotParams.x - spotParams.y, 0.0001), 0.0, 1.0);
    vec3 filtered = cookieClip.w > 0.0 ? texture2D(cookie, cookieClip.xy / cookieClip.w).rgb : vec3(0.0);
    gl_FragColor = vec4(surfaceColour.rgb * lightColour.rgb * filtered * facing * cone, 1.0);
}
