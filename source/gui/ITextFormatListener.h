#pragma once

// Told when the in-game menu's text format (its font size) changes, so that texts of its own (the dialog
// view's lines) take it on.
class ITextFormatListener
{
public:
    virtual void OnTextFormatChanged() = 0;

protected:
    ~ITextFormatListener() = default;
};
