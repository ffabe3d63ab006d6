#pragma once

#include "common/IFloatSourceListener.h"
#include "common/cl_FloatSource.h"

#include <string>

// An arithmetic operation on two operands a and b, each a constant or the value of a source it follows.
// It computes whenever a followed source changes; the sources are not owned, and an operand whose source
// is destroyed keeps its last value.
class cl_FloatOperator : public cl_FloatSource, public IFloatSourceListener
{
public:
    // The operation codes, as the data's words (any case) name them.
    enum Operation
    {
        OP_ADD = 0,   // "add": a + b
        OP_SUB = 1,   // "sub": a - b
        OP_MUL = 2,   // "mul": a * b
        OP_DIV = 3,   // "div": a / b, unguarded (b = 0 gives an infinity or NaN)
        OP_POW = 4,   // "pow": a to the power b
        OP_MIN = 5,   // "min"
        OP_MAX = 6,   // "max"
        OP_MOD = 7,   // "mod": fmod(a, b)
        OP_ABS = 8,   // "abs": |a|
        OP_INV = 9,   // "inv": -a (a negation, not the reciprocal)
        OP_SQRT = 10, // "sqrt": square root of a
        OP_NONE = 11, // any other word: nothing is computed, the value stays
    };

    // The code of a word, compared lower-cased; OP_NONE for any other word.
    static int OperationCode(const std::string& word);

    // One source: a follows it, b is 1.0. Nothing is computed until the source next changes.
    cl_FloatOperator(int operation, cl_FloatSource* source);
    // Two sources (either may be null: that operand stays 0.0); computes at once.
    cl_FloatOperator(int operation, cl_FloatSource* first, cl_FloatSource* second);
    // A source and a constant b; computes at once.
    cl_FloatOperator(int operation, cl_FloatSource* first, float b);
    // A constant a and a source; computes at once.
    cl_FloatOperator(int operation, float a, cl_FloatSource* second);
    ~cl_FloatOperator() override;

    void OnValueChanged(cl_FloatSource* source, float oldValue, float newValue) override;
    void OnSourceDestroyed(cl_FloatSource* source) override;

private:
    cl_FloatOperator(int operation, float a, cl_FloatSource* first, float b, cl_FloatSource* second);
    void Compute();

    int m_operation;
    float m_a;
    cl_FloatSource* m_first;
    float m_b;
    cl_FloatSource* m_second;
};
