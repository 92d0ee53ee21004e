#version 120
#extension GL_ARB_texture_rectangle : require
// One layer laid over the layers below it ("over", in premultiplied values): the layer's picture
// (layerMap), its colour and opacity scaled by the layer's `opacity`, over the picture of the
// layers below (belowMap; nothing below with hasBelow 0). Both pictures, and the result, hold
// premultiplied colours and the encoded opacity (prelude's opacityOf, encodedOpacity). A layer
// of opacity 1 whose picture is opaque gives exactly its picture.
uniform sampler2DRect layerMap;
uniform sampler2DRect belowMap;
uniform float opacity; // of the layer, 0..1
uniform float hasBelow;

void main()
{
    vec2 p = gl_FragCoord.xy;
    vec4 top = texture2DRect(layerMap, p);
    float a = clamp(opacityOf(top), 0.0, 1.0) * opacity;
    vec3 rgb = top.rgb * opacity;
    if (hasBelow > 0.5) {
        vec4 below = texture2DRect(belowMap, p);
        rgb += (1.0 - a) * below.rgb;
        a += (1.0 - a) * clamp(opacityOf(below), 0.0, 1.0);
    }
    gl_FragColor = vec4(rgb, encodedOpacity(a));
}
