#include "platform/NumericLocale.h"

#include <clocale>

namespace platform
{
void UseCNumericLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}
} // namespace platform
