#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class cl_ArgList;
class cl_ArgTable;

// One typed value of a command's arguments or results: empty, int, double, string, bool, an opaque handle,
// a nested list or a nested table. Receivers read through the getters, which accept the int/double
// difference and warn on any other mismatch; they write through the setters.
//
// The text of a string is kept apart from the value: a setter other than SetString leaves the old text
// stored (GetString still refuses it, since the tag no longer says string).
class cl_Argument
{
public:
    enum Type : int32_t
    {
        TYPE_EMPTY = 0,
        TYPE_INT = 1,
        TYPE_DOUBLE = 2,
        TYPE_STRING = 3,
        TYPE_BOOL = 4,
        TYPE_OPAQUE = 5, // a handle the argument neither owns nor interprets; nothing sets it
        TYPE_LIST = 6,
        TYPE_TABLE = 7,
    };

    cl_Argument();
    // Copies are deep: a held list or table is copied into a container the copy owns.
    cl_Argument(const cl_Argument& other);
    cl_Argument& operator=(const cl_Argument& other);
    // A moved-from argument is empty; a held container moves along, so pointers into it stay valid.
    cl_Argument(cl_Argument&& other) noexcept;
    cl_Argument& operator=(cl_Argument&& other) noexcept;
    virtual ~cl_Argument();

    Type GetType() const { return m_type; }

    // An int, or a double truncated toward zero (beyond the int range it saturates; NaN gives 0).
    // Any other type: a warning and 0.
    int GetInt() const;
    // A double, or an int converted exactly. Any other type: a warning and 0.0.
    double GetDouble() const;
    // Any type but bool: a warning and false.
    bool GetBool() const;
    // A copy of the text; any type but string: a warning and "".
    std::string GetString() const;
    // The held list or table itself (owned by this argument, valid until a setter or the destructor runs);
    // any other type: a warning and null.
    cl_ArgList* GetList();
    const cl_ArgList* GetList() const;
    cl_ArgTable* GetTable();
    const cl_ArgTable* GetTable() const;

    // Each setter first drops a held list or table, then sets the tag and the value.
    void SetInt(int value);
    void SetDouble(double value);
    // The text may lie in the container this drops: it is copied first. The stored text keeps its room.
    void SetString(std::string_view text);
    void SetBool(bool value);
    // Always a fresh, empty container, also when one was held; fill it through GetList/GetTable.
    void SetList();
    void SetTable();

    // Equality of table keys: same tag and same value. Empty arguments are equal to each other; lists and
    // tables are never equal to anything, themselves included.
    bool IsSameKey(const cl_Argument& other) const;

private:
    // Drops a held list or table; most arguments hold neither and pay only the test.
    void DropContainer()
    {
        if (m_list || m_table)
            DropHeldContainer();
    }
    void DropHeldContainer();
    void Swap(cl_Argument& other) noexcept;

    Type m_type = TYPE_EMPTY;
    union Value
    {
        int32_t m_int;
        double m_double;
        bool m_bool;
        uintptr_t m_opaque;
    } m_value{};
    std::unique_ptr<cl_ArgList> m_list;   // set only while the tag is TYPE_LIST
    std::unique_ptr<cl_ArgTable> m_table; // set only while the tag is TYPE_TABLE
    std::string m_text;
};
