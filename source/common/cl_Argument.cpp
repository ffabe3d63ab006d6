#include "common/cl_Argument.h"

#include "common/LogCall.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"

#include <climits>
#include <cmath>

namespace
{
// Truncation toward zero; a double outside the int range (or NaN) has no int value, so it saturates
// instead of overflowing.
int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}
} // namespace

cl_Argument::cl_Argument() = default;

cl_Argument::cl_Argument(const cl_Argument& other)
    : m_type(other.m_type), m_value(other.m_value),
      m_list(other.m_list ? std::make_unique<cl_ArgList>(*other.m_list) : nullptr),
      m_table(other.m_table ? std::make_unique<cl_ArgTable>(*other.m_table) : nullptr), m_text(other.m_text)
{
}

cl_Argument& cl_Argument::operator=(const cl_Argument& other)
{
    // Copy first: other may live inside the container this argument is about to drop.
    cl_Argument copy(other);
    Swap(copy);
    return *this;
}

cl_Argument::cl_Argument(cl_Argument&& other) noexcept
{
    Swap(other);
}

cl_Argument& cl_Argument::operator=(cl_Argument&& other) noexcept
{
    cl_Argument taken(std::move(other));
    Swap(taken);
    return *this;
}

cl_Argument::~cl_Argument() = default;

void cl_Argument::Swap(cl_Argument& other) noexcept
{
    std::swap(m_type, other.m_type);
    std::swap(m_value, other.m_value);
    m_list.swap(other.m_list);
    m_table.swap(other.m_table);
    m_text.swap(other.m_text);
}

int cl_Argument::GetInt() const
{
    if (m_type == TYPE_INT)
        return m_value.m_int;
    if (m_type == TYPE_DOUBLE)
        return TruncateToInt(m_value.m_double);
    LOG_WARNING("Stored data-type is not an 'int' (nor a 'double').");
    return 0;
}

double cl_Argument::GetDouble() const
{
    if (m_type == TYPE_DOUBLE)
        return m_value.m_double;
    if (m_type == TYPE_INT)
        return m_value.m_int;
    LOG_WARNING("Stored data-type is not a 'double' (nor an 'int').");
    return 0.0;
}

bool cl_Argument::GetBool() const
{
    if (m_type == TYPE_BOOL)
        return m_value.m_bool;
    LOG_WARNING("Stored data-type is not a 'bool'.");
    return false;
}

std::string cl_Argument::GetString() const
{
    if (m_type == TYPE_STRING)
        return m_text;
    LOG_WARNING("Stored data-type is not a 'string'.");
    return std::string();
}

const cl_ArgList* cl_Argument::GetList() const
{
    if (m_type == TYPE_LIST)
        return m_list.get();
    LOG_WARNING("Stored data-type is not an list.");
    return nullptr;
}

cl_ArgList* cl_Argument::GetList()
{
    return const_cast<cl_ArgList*>(static_cast<const cl_Argument&>(*this).GetList());
}

const cl_ArgTable* cl_Argument::GetTable() const
{
    if (m_type == TYPE_TABLE)
        return m_table.get();
    LOG_WARNING("Stored data-type is not an table.");
    return nullptr;
}

cl_ArgTable* cl_Argument::GetTable()
{
    return const_cast<cl_ArgTable*>(static_cast<const cl_Argument&>(*this).GetTable());
}

void cl_Argument::DropHeldContainer()
{
    m_list.reset();
    m_table.reset();
}

void cl_Argument::SetInt(int value)
{
    DropContainer();
    m_type = TYPE_INT;
    m_value.m_int = value;
}

void cl_Argument::SetDouble(double value)
{
    DropContainer();
    m_type = TYPE_DOUBLE;
    m_value.m_double = value;
}

void cl_Argument::SetString(std::string_view text)
{
    m_text.assign(text.data(), text.size());
    DropContainer();
    m_type = TYPE_STRING;
}

void cl_Argument::SetBool(bool value)
{
    DropContainer();
    m_type = TYPE_BOOL;
    m_value.m_bool = value;
}

void cl_Argument::SetList()
{
    DropContainer();
    m_type = TYPE_LIST;
    m_list = std::make_unique<cl_ArgList>();
}

void cl_Argument::SetTable()
{
    DropContainer();
    m_type = TYPE_TABLE;
    m_table = std::make_unique<cl_ArgTable>();
}

bool cl_Argument::IsSameKey(const cl_Argument& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type)
    {
    case TYPE_EMPTY:
        return true;
    case TYPE_INT:
        return m_value.m_int == other.m_value.m_int;
    case TYPE_DOUBLE:
        return m_value.m_double == other.m_value.m_double;
    case TYPE_STRING:
        return m_text == other.m_text;
    case TYPE_BOOL:
        return m_value.m_bool == other.m_value.m_bool;
    case TYPE_OPAQUE:
        return m_value.m_opaque == other.m_value.m_opaque;
    case TYPE_LIST:
    case TYPE_TABLE:
        break;
    }
    return false;
}
