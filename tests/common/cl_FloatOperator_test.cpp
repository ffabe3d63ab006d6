#include "common/cl_FloatModifier.h"
#include "common/cl_FloatOperator.h"
#include "common/cl_StaticFloat.h"
#include "support/RecordingFloatListener.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
TEST(FloatOperator, OperationsOnTwoSources)
{
    struct Case
    {
        const char* word;
        float a, b;
        float expected; // NAN: the value stays at 0.0 (nothing is computed)
    } cases[] = {
        {"add", 6, 4, 10},   {"ADD", 6, 4, 10}, {"Sub", 6, 4, 2},   {"mul", 6, 4, 24},
        {"div", 6, 4, 1.5f}, {"pow", 2, 3, 8},  {"min", 6, 4, 4},   {"min", 4, 6, 4},
        {"max", 6, 4, 6},    {"max", 4, 6, 6},  {"mod", 7, 4, 3},   {"mod", -7, 4, -3},
        {"abs", -6, 4, 6},   {"inv", 6, 4, -6}, {"sqrt", 16, 4, 4}, {"div", 1, 0, INFINITY},
        {"plus", 6, 4, NAN}, {"", 6, 4, NAN},
    };
    for (const Case& c : cases)
    {
        cl_StaticFloat a(c.a);
        cl_StaticFloat b(c.b);
        cl_FloatOperator op(cl_FloatOperator::OperationCode(c.word), &a, &b);
        const float expected = std::isnan(c.expected) ? 0.0f : c.expected;
        EXPECT_EQ(op.GetValue(), expected) << c.word << " " << c.a << " " << c.b;
    }
}

// a = 6 and b = 4 in each form; then the first source (or the one source) moves to 10.
TEST(FloatOperator, FormsOfConstruction)
{
    struct Case
    {
        const char* name;
        float atOnce;
        float afterChange;
    } cases[] = {
        {"one source: nothing until it changes, b = 1", 0.0f, 11.0f},
        {"two sources: at once", 10.0f, 14.0f},
        {"source and constant: at once", 10.0f, 14.0f},
        {"constant and source: at once", 10.0f, 16.0f},
    };
    for (int form = 0; form < 4; ++form)
    {
        const Case& c = cases[form];
        cl_StaticFloat first(6.0f);
        cl_StaticFloat second(4.0f);
        std::unique_ptr<cl_FloatOperator> op;
        switch (form)
        {
        case 0:
            op = std::make_unique<cl_FloatOperator>(cl_FloatOperator::OP_ADD, &first);
            break;
        case 1:
            op = std::make_unique<cl_FloatOperator>(cl_FloatOperator::OP_ADD, &first, &second);
            break;
        case 2:
            op = std::make_unique<cl_FloatOperator>(cl_FloatOperator::OP_ADD, &first, 4.0f);
            break;
        default:
            op = std::make_unique<cl_FloatOperator>(cl_FloatOperator::OP_ADD, 6.0f, &second);
            break;
        }
        EXPECT_EQ(op->GetValue(), c.atOnce) << c.name;
        if (form == 3)
            second.SetValue(10.0f);
        else
            first.SetValue(10.0f);
        EXPECT_EQ(op->GetValue(), c.afterChange) << c.name;
    }
}

TEST(FloatOperator, KeepsTheLastValueOfADestroyedSource)
{
    auto first = std::make_unique<cl_StaticFloat>(6.0f);
    cl_StaticFloat second(4.0f);
    cl_FloatOperator op(cl_FloatOperator::OP_SUB, first.get(), &second);
    first.reset();
    second.SetValue(1.0f);
    EXPECT_EQ(op.GetValue(), 5.0f);
}

TEST(FloatModifier, FollowsItsSourceThroughTheCubic)
{
    cl_StaticFloat source(3.0f);
    auto modifier = std::make_unique<cl_FloatModifier>(1.0f, 2.0f, 3.0f, 4.0f, &source);
    RecordingFloatListener listener;
    modifier->AddListener(&listener);
    EXPECT_EQ(modifier->GetValue(), 0.0f) << "nothing until the source changes";

    source.SetValue(2.0f); // 1 + 2*2 + 3*4 + 4*8
    EXPECT_EQ(modifier->GetValue(), 49.0f);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0].newValue, 49.0f) << "the change ripples on within the same call";

    modifier.reset();
    source.SetValue(5.0f); // a destroyed modifier no longer listens
}

TEST(FloatModifier, KeepsItsValueWhenTheSourceGoes)
{
    auto source = std::make_unique<cl_StaticFloat>(0.0f);
    cl_FloatModifier modifier(1.0f, 1.0f, 0.0f, 0.0f, source.get());
    source->SetValue(2.0f);
    source.reset();
    EXPECT_EQ(modifier.GetValue(), 3.0f);
}
} // namespace
