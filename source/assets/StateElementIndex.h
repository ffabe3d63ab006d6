#pragma once

#include <string>
#include <unordered_map>

class TiXmlElement;
class TiXmlNode;

// The state elements of one list of the game state ("logics" > "logic", ...) by their "idref", so that
// finding the state of every asset of a chapter costs one walk of the list instead of one per asset.
// The index is built at the first lookup and again whenever the list is another one or has a child at its
// end that the index was not told of. It holds plain pointers: Clear it whenever the tree is replaced or
// deleted, and remove no state element but with the whole tree.
class StateElementIndex
{
public:
    // The first `kind` child of list whose "idref" is id; null when there is none or list is null.
    TiXmlElement* Find(TiXmlElement* list, const char* kind, const std::string& id);
    // Takes in an element just appended to the list of the last Find, with the "idref" id.
    void Appended(TiXmlElement* element, const std::string& id);
    // Forgets the list and its elements.
    void Clear();

private:
    void Build(TiXmlElement& list, const char* kind);

    const TiXmlElement* m_list = nullptr;
    // The list's last child when the index was last brought up to date.
    const TiXmlNode* m_last = nullptr;
    std::unordered_map<std::string, TiXmlElement*> m_elements;
};
