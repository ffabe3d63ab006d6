#pragma once

// How a long data load reports its items to a loading screen (the chapter's pool reload).
class ILoadingProgress
{
public:
    // Once, before the items: count items follow.
    virtual void OnDataLoadStarted(int count) = 0;
    // After each item.
    virtual void OnDataLoaded() = 0;
    // Once, after the last item.
    virtual void OnDataLoadEnded() = 0;

protected:
    ~ILoadingProgress() = default;
};
