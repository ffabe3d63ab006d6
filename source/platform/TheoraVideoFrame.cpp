#include "platform/TheoraVideoFrame.h"

TheoraVideoFrame::TheoraVideoFrame(int width, int height, int stride)
    : m_width(width), m_height(height), m_stride(stride),
      m_pixels(static_cast<size_t>(stride) * static_cast<size_t>(height), 0xFF000000u)
{
}
