#include "common/cl_FloatOperator.h"

#include "common/MathHelpers.h"

#include <cctype>
#include <cmath>

namespace
{
const char* const OPERATION_WORDS[] = {"add", "sub", "mul", "div", "pow", "min",
                                       "max", "mod", "abs", "inv", "sqrt"};

float ValueOf(const cl_FloatSource* source)
{
    return source ? source->GetValue() : 0.0f;
}
} // namespace

int cl_FloatOperator::OperationCode(const std::string& word)
{
    std::string lower = word;
    for (char& character : lower)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    for (int code = OP_ADD; code < OP_NONE; ++code)
    {
        if (lower == OPERATION_WORDS[code])
            return code;
    }
    return OP_NONE;
}

cl_FloatOperator::cl_FloatOperator(int operation, float a, cl_FloatSource* first, float b,
                                   cl_FloatSource* second)
    : m_operation(operation), m_a(a), m_first(first), m_b(b), m_second(second)
{
    if (m_first)
        m_first->AddListener(this);
    if (m_second)
        m_second->AddListener(this);
}

cl_FloatOperator::cl_FloatOperator(int operation, cl_FloatSource* source)
    : cl_FloatOperator(operation, ValueOf(source), source, 1.0f, nullptr)
{
}

cl_FloatOperator::cl_FloatOperator(int operation, cl_FloatSource* first, cl_FloatSource* second)
    : cl_FloatOperator(operation, ValueOf(first), first, ValueOf(second), second)
{
    Compute();
}

cl_FloatOperator::cl_FloatOperator(int operation, cl_FloatSource* first, float b)
    : cl_FloatOperator(operation, ValueOf(first), first, b, nullptr)
{
    Compute();
}

cl_FloatOperator::cl_FloatOperator(int operation, float a, cl_FloatSource* second)
    : cl_FloatOperator(operation, a, nullptr, ValueOf(second), second)
{
    Compute();
}

cl_FloatOperator::~cl_FloatOperator()
{
    if (m_first)
        m_first->RemoveListener(this);
    if (m_second)
        m_second->RemoveListener(this);
}

void cl_FloatOperator::OnValueChanged(cl_FloatSource* source, float, float newValue)
{
    if (source == m_first)
        m_a = newValue;
    if (source == m_second)
        m_b = newValue;
    Compute();
}

void cl_FloatOperator::OnSourceDestroyed(cl_FloatSource* source)
{
    if (source == m_first)
        m_first = nullptr;
    if (source == m_second)
        m_second = nullptr;
}

void cl_FloatOperator::Compute()
{
    const float a = m_a;
    const float b = m_b;
    float result = 0.0f;
    switch (m_operation)
    {
    case OP_ADD:
        result = a + b;
        break;
    case OP_SUB:
        result = a - b;
        break;
    case OP_MUL:
        result = a * b;
        break;
    case OP_DIV:
        result = a / b;
        break;
    case OP_POW:
        result = std::pow(a, b);
        break;
    case OP_MIN:
        result = b <= a ? b : a;
        break;
    case OP_MAX:
        result = a <= b ? b : a;
        break;
    case OP_MOD:
        result = std::fmod(a, b);
        break;
    case OP_ABS:
        result = Fabs(a);
        break;
    case OP_INV:
        result = -a;
        break;
    case OP_SQRT:
        result = std::sqrt(a);
        break;
    default:
        return;
    }
    SetCurrentValue(result);
}
