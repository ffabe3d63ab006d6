#pragma once

#include <string>
#include <vector>

// One choice of a settings set: the label shown on the page and the value stored in the setting.
struct SettingsChoice
{
    std::string label;
    std::string value;
};

// A list of choices bound to one setting, stepped through by the main menu.
struct SettingsSet
{
    // The current choice.
    int index = 0;
    // The setting (key of the settings file) that a change writes.
    std::string key;
    std::vector<SettingsChoice> choices;

    // The position of the last choice whose value is value; -1 when none has it.
    int FindLastChoice(const std::string& value) const
    {
        for (int position = static_cast<int>(choices.size()) - 1; position >= 0; --position)
        {
            if (choices[static_cast<size_t>(position)].value == value)
                return position;
        }
        return -1;
    }
};
