#pragma once

class TheoraVideoFrame;

// A decoded picture as the Theora decoder hands it out: the planes Y', Cb and Cr (a negative stride runs
// the rows upwards), the chroma planes with half the columns (xShift 1) and half the rows (yShift 1)
// where the stream subsamples them, and the visible part from column left and row top of the coded frame.
struct TheoraPicture
{
    const unsigned char* data[3];
    int stride[3];
    int xShift;
    int yShift;
    int left;
    int top;
};

// Writes width x height pixels of the visible part into the frame's first rows and columns, each
// 0xFFRRGGBB from BT.601 video-range Y'CbCr in 8-bit fixed point: red = (298 (Y - 16) + 128 + 409 (Cr -
// 128)) >> 8, green = (... - 100 (Cb - 128) - 208 (Cr - 128)) >> 8, blue = (... + 516 (Cb - 128)) >> 8,
// each clamped to 0..255. The planes must hold the visible part; the frame must be as large.
void WriteXrgb(const TheoraPicture& picture, int width, int height, TheoraVideoFrame& frame);
