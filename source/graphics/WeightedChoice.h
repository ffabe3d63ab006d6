#pragma once

#include "platform/GameRand.h"

// The random pick of the idle, auto action and auto animation controls: r = GameRand() % total; the first
// entry whose weight is greater than r is taken, each weight passed being subtracted from r. total must be
// above 0 (callers report an empty choice themselves, before anything is drawn). Returns last when no entry
// takes r (weights that do not add up to total).
template <class Iterator, class WeightOf>
Iterator ChooseWeighted(Iterator first, Iterator last, int total, WeightOf weightOf)
{
    int r = platform::GameRand() % total;
    for (; first != last; ++first)
    {
        const int weight = weightOf(*first);
        if (weight > r)
            return first;
        r -= weight;
    }
    return last;
}
