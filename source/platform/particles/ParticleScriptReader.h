#pragma once

#include "platform/particles/ScriptTranslator.h"

#include <string>
#include <vector>

namespace particles
{
class ParticleEmitter;
class ParticleSystem;
class ParticleSystemManager;
class ParticleTechnique;

// Reads particle-system templates from script text into the manager:
//
//     // a comment
//     system Demo/Fire
//     {
//         technique
//         {
//             material Demo/Flame
//             quota 200
//             size 12 16
//             emitter Point flame           // type word, then the name parameters address
//             {
//                 rate 40
//                 angle 15
//                 life 1.5
//                 velocity 30
//                 direction 0 1 0
//                 colour 1 0.7 0.3 1
//             }
//             affector LinearForce
//             {
//                 force 0 25 0
//             }
//         }
//     }
//
// A line is a word and its values ("quoted values" may hold blanks); a block may open on the word's
// line or the next. Words an element's kind does not know go to its factory's translateChildProperty.
// Every mistake is logged with the script's name and line, and the reader goes on behind it: a bad
// value loses its line, an unknown element its block, a template whose name is taken or whose block is
// not closed the whole template.
class ParticleScriptReader
{
public:
    // source: the script's name for messages; group: the resource group it belongs to ("" for none).
    ParticleScriptReader(ParticleSystemManager& manager, const std::string& source, const std::string& group)
        : m_manager(manager), m_source(source), m_group(group)
    {
    }

    void read(const std::string& text);

private:
    // A line's words, with the block that followed it.
    struct Statement
    {
        std::vector<std::string> words;
        int line = 0;
        bool hasBlock = false;
        // False for a block that the text ended inside.
        bool closed = true;
        std::vector<Statement> children;
    };
    struct Token
    {
        std::string text;
        int line;
        // '{', '}' or 0 for a word.
        char brace;
    };

    std::vector<Token> tokenize(const std::string& text) const;
    // The statements from tokens[position] up to the '}' that closes the block (or the end), which it
    // steps over; depth counts the blocks around.
    std::vector<Statement> parseBlock(const std::vector<Token>& tokens, size_t& position, int depth,
                                      bool& closed) const;

    void readSystem(const Statement& statement);
    void readTechnique(const Statement& statement, ParticleTechnique& technique);
    void readEmitter(const Statement& statement, ParticleTechnique& technique);
    void readAffector(const Statement& statement, ParticleTechnique& technique);
    // Hands each line of the element's block to the element, then to its factory; kind names the
    // element's type in messages.
    template <class Element, class Factory>
    void readProperties(const Statement& statement, Element& element, Factory& factory,
                        const std::string& kind) const;
    // The statement as a property: its first word and the values behind it.
    ScriptProperty propertyOf(const Statement& statement) const;
    void logError(int line, const std::string& message) const;

    ParticleSystemManager& m_manager;
    std::string m_source;
    std::string m_group;
};
} // namespace particles
