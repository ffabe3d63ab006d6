#include "gui/cl_CanvasItem.h"

float cl_CanvasItem::Left(float itemWidth) const
{
    switch (alignment)
    {
    case ALIGN_CENTRE:
        return x - itemWidth * 0.5f;
    case ALIGN_RIGHT:
        return x - itemWidth;
    default:
        return x;
    }
}
