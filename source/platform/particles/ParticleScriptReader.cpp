#include "platform/particles/ParticleScriptReader.h"

#include "platform/particles/ParticleAffector.h"
#include "platform/particles/ParticleAffectorFactory.h"
#include "platform/particles/ParticleEmitter.h"
#include "platform/particles/ParticleEmitterFactory.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"

#include <cstring>

namespace particles
{
namespace
{
// Systems hold techniques hold elements: anything deeper is a mistake, and deep nesting must not
// exhaust the stack.
const int MOST_NESTED_BLOCKS = 8;
// More particles than any effect needs; a larger quota is refused rather than allocated.
const size_t MOST_PARTICLES = 100000;
const char* const BLANKS = " \t\r\f\v";

bool IsBlank(char c)
{
    return c != '\0' && std::strchr(BLANKS, c) != nullptr;
}

std::string Quoted(const std::string& word)
{
    return "'" + word + "'";
}
} // namespace

void ParticleScriptReader::logError(int line, const std::string& message) const
{
    ScriptTranslator::logError(m_source, line, message);
}

std::vector<ParticleScriptReader::Token> ParticleScriptReader::tokenize(const std::string& text) const
{
    std::vector<Token> tokens;
    int line = 1;
    size_t i = 0;
    while (i < text.size())
    {
        const char c = text[i];
        if (c == '\n')
        {
            ++line;
            ++i;
        }
        else if (IsBlank(c))
        {
            ++i;
        }
        else if (text.compare(i, 2, "//") == 0)
        {
            i = text.find('\n', i);
            if (i == std::string::npos)
                i = text.size();
        }
        else if (c == '{' || c == '}')
        {
            tokens.push_back({std::string(1, c), line, c});
            ++i;
        }
        else if (c == '"')
        {
            size_t end = text.find_first_of("\"\n", i + 1);
            if (end == std::string::npos || text[end] != '"')
            {
                logError(line, "A quoted value is not closed on its line.");
                end = end == std::string::npos ? text.size() : end;
                tokens.push_back({text.substr(i + 1, end - i - 1), line, 0});
                i = end;
            }
            else
            {
                tokens.push_back({text.substr(i + 1, end - i - 1), line, 0});
                i = end + 1;
            }
        }
        else
        {
            size_t end = i;
            while (end < text.size() && text[end] != '\n' && !IsBlank(text[end]) && text[end] != '{' &&
                   text[end] != '}' && text[end] != '"' && text.compare(end, 2, "//") != 0)
                ++end;
            tokens.push_back({text.substr(i, end - i), line, 0});
            i = end;
        }
    }
    return tokens;
}

std::vector<ParticleScriptReader::Statement>
ParticleScriptReader::parseBlock(const std::vector<Token>& tokens, size_t& position, int depth,
                                 bool& closed) const
{
    std::vector<Statement> statements;
    closed = depth == 0;
    while (position < tokens.size())
    {
        if (tokens[position].brace == '}')
        {
            if (depth > 0)
            {
                ++position;
                closed = true;
                return statements;
            }
            logError(tokens[position].line, "A '}' closes no block.");
            ++position;
            continue;
        }
        Statement statement;
        statement.line = tokens[position].line;
        while (position < tokens.size() && tokens[position].brace == 0 &&
               tokens[position].line == statement.line)
            statement.words.push_back(tokens[position++].text);
        if (position < tokens.size() && tokens[position].brace == '{')
        {
            ++position;
            statement.hasBlock = true;
            if (depth + 1 < MOST_NESTED_BLOCKS)
            {
                statement.children = parseBlock(tokens, position, depth + 1, statement.closed);
            }
            else
            {
                logError(statement.line, "Blocks are nested too deep here; the block is left out.");
                int open = 1;
                for (; position < tokens.size() && open > 0; ++position)
                    open += tokens[position].brace == '{' ? 1 : tokens[position].brace == '}' ? -1 : 0;
                statement.closed = open == 0;
            }
        }
        if (statement.words.empty())
            logError(statement.line, "A block has no word before it; it is left out.");
        else
            statements.push_back(std::move(statement));
    }
    return statements;
}

void ParticleScriptReader::read(const std::string& text)
{
    const std::vector<Token> tokens = tokenize(text);
    size_t position = 0;
    bool closed = true;
    for (const Statement& statement : parseBlock(tokens, position, 0, closed))
        readSystem(statement);
}

ScriptProperty ParticleScriptReader::propertyOf(const Statement& statement) const
{
    ScriptProperty property;
    property.name = statement.words.front();
    property.values.assign(statement.words.begin() + 1, statement.words.end());
    property.source = m_source;
    property.line = statement.line;
    return property;
}

void ParticleScriptReader::readSystem(const Statement& statement)
{
    if (statement.words.front() != "system" || statement.words.size() != 2 || !statement.hasBlock)
    {
        logError(statement.line, Quoted(statement.words.front()) +
                                     " here: a particle script holds blocks 'system <name> { ... }'.");
        return;
    }
    const std::string& name = statement.words[1];
    if (!statement.closed)
    {
        logError(statement.line, "The block of the particle system " + Quoted(name) +
                                     " is not closed; the system is left out.");
        return;
    }
    if (m_manager.getSystemTemplate(name))
    {
        logError(statement.line, "A particle system template named " + Quoted(name) +
                                     " exists already; this one is left out.");
        return;
    }
    ParticleSystem* system = m_manager.createSystemTemplate(name, m_group);
    for (const Statement& child : statement.children)
    {
        if (child.words.front() == "technique" && child.words.size() == 1 && child.hasBlock)
            readTechnique(child, *system->createTechnique());
        else
            logError(child.line, Quoted(child.words.front()) + " in a system: expected 'technique { ... }'.");
    }
}

void ParticleScriptReader::readTechnique(const Statement& statement, ParticleTechnique& technique)
{
    for (const Statement& child : statement.children)
    {
        const std::string& word = child.words.front();
        if (word == "emitter")
        {
            readEmitter(child, technique);
            continue;
        }
        if (word == "affector")
        {
            readAffector(child, technique);
            continue;
        }
        const ScriptProperty property = propertyOf(child);
        if (child.hasBlock)
        {
            logError(child.line, Quoted(word) + " takes no block.");
        }
        else if (word == "material")
        {
            std::string material;
            if (ScriptTranslator::getString(property, material))
                technique.setMaterialName(material);
            else
                logError(child.line, "'material' takes one name.");
        }
        else if (word == "quota")
        {
            size_t quota = 0;
            if (ScriptTranslator::getCount(property, quota) && quota <= MOST_PARTICLES)
                technique.setParticleQuota(quota);
            else
                logError(child.line,
                         "'quota' takes a whole number up to " + std::to_string(MOST_PARTICLES) + ".");
        }
        else if (word == "size")
        {
            Ogre::Vector2 size;
            if (ScriptTranslator::getVector2(property, size))
                technique.setDefaultDimensions(size);
            else
                logError(child.line, "'size' takes a width and a height.");
        }
        else
        {
            logError(child.line, Quoted(word) + " in a technique: expected 'material', 'quota', 'size', "
                                                "'emitter' or 'affector'.");
        }
    }
}

void ParticleScriptReader::readEmitter(const Statement& statement, ParticleTechnique& technique)
{
    if (statement.words.size() != 3)
    {
        logError(statement.line, "'emitter' takes a type and a name; the emitter is left out.");
        return;
    }
    const std::string& type = statement.words[1];
    ParticleEmitterFactory* factory = m_manager.getEmitterFactory(type);
    if (!factory)
    {
        logError(statement.line,
                 "There is no particle emitter type " + Quoted(type) + "; the emitter is left out.");
        return;
    }
    ParticleEmitter* emitter = technique.addEmitter(factory->createEmitter());
    emitter->setName(statement.words[2]);
    readProperties(statement, *emitter, *factory, "The particle emitter type " + Quoted(type));
}

void ParticleScriptReader::readAffector(const Statement& statement, ParticleTechnique& technique)
{
    if (statement.words.size() != 2 && statement.words.size() != 3)
    {
        logError(statement.line, "'affector' takes a type and an optional name; the affector is left out.");
        return;
    }
    const std::string& type = statement.words[1];
    ParticleAffectorFactory* factory = m_manager.getAffectorFactory(type);
    if (!factory)
    {
        logError(statement.line,
                 "There is no particle affector type " + Quoted(type) + "; the affector is left out.");
        return;
    }
    ParticleAffector* affector = technique.addAffector(factory->createAffector());
    if (statement.words.size() == 3)
        affector->setName(statement.words[2]);
    readProperties(statement, *affector, *factory, "The particle affector type " + Quoted(type));
}

template <class Element, class Factory>
void ParticleScriptReader::readProperties(const Statement& statement, Element& element, Factory& factory,
                                          const std::string& kind) const
{
    for (const Statement& child : statement.children)
    {
        const ScriptProperty property = propertyOf(child);
        if (child.hasBlock)
            logError(child.line, Quoted(property.name) + " takes no block.");
        else if (!element.readProperty(property) && !factory.translateChildProperty(property))
            logError(child.line, kind + " has no property " + Quoted(property.name) + ".");
    }
}
} // namespace particles
