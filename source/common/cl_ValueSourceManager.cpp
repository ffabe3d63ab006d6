#include "common/cl_ValueSourceManager.h"

#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_FloatModifier.h"
#include "common/cl_FloatNoise.h"
#include "common/cl_FloatOperator.h"
#include "common/cl_FloatTime.h"
#include "common/cl_FloatWave.h"
#include "common/cl_SettableFloat.h"
#include "common/cl_StaticFloat.h"
#include "common/cl_UnstableFloatNoise.h"

#include <tinyxml.h>

#include <cstdio>

namespace
{
const char* const ELEMENT_NAME = "valuesources";

// A number as the data write it ("%lf": leading blanks skipped, anything behind the number ignored).
bool ReadNumber(const std::string& text, float& number)
{
    double value = 0.0;
    if (std::sscanf(text.c_str(), "%lf", &value) != 1)
        return false;
    number = static_cast<float>(value);
    return true;
}

// The parameters of one float: the attributes of its first `params` child (none when it has no such
// child, so every parameter takes its default).
class FloatParams
{
public:
    FloatParams(const TiXmlElement& floatElement, const std::string& floatName)
        : m_params(floatElement.FirstChildElement("params")), m_floatName(floatName)
    {
    }

    // The attribute's text, or null when it is absent.
    const std::string* Text(const char* attribute) const
    {
        return m_params ? m_params->Attribute(std::string(attribute)) : nullptr;
    }

    // The attribute's number; fallback when it is absent, and with a warning when it is no number.
    float Number(const char* attribute, float fallback) const
    {
        const std::string* text = Text(attribute);
        float number = fallback;
        if (text && !ReadNumber(*text, number))
        {
            LOG_WARNING("The parameter '%s' of the float '%s' is no number: its default is taken.", attribute,
                        m_floatName.c_str());
            return fallback;
        }
        return number;
    }

    // A parameter the kind has no default for: 0 with a warning when it is absent.
    float Required(const char* attribute) const
    {
        if (!Text(attribute))
            LOG_WARNING("The float '%s' has no parameter '%s': 0 is taken.", m_floatName.c_str(), attribute);
        return Number(attribute, 0.0f);
    }

private:
    const TiXmlElement* m_params;
    std::string m_floatName;
};

using SourcePtr = std::unique_ptr<cl_FloatSource>;

SourcePtr BuildStatic(const FloatParams& params, const cl_ValueSourceManager&)
{
    return std::make_unique<cl_StaticFloat>(params.Number("value", 0.0f));
}

SourcePtr BuildTime(const FloatParams&, const cl_ValueSourceManager&)
{
    return std::make_unique<cl_FloatTime>();
}

SourcePtr BuildNoise(const FloatParams& params, const cl_ValueSourceManager&)
{
    return std::make_unique<cl_FloatNoise>(params.Number("min", 0.0f), params.Number("max", 0.0f),
                                           params.Number("freq", 0.0f));
}

template <class Wave> SourcePtr BuildWave(const FloatParams& params, const cl_ValueSourceManager&)
{
    return std::make_unique<Wave>(params.Number("freq", 1.0f), params.Number("amp", 1.0f),
                                  params.Number("offset", 1.0f), params.Number("phase", 0.0f));
}

SourcePtr BuildUnstableNoise(const FloatParams& params, const cl_ValueSourceManager&)
{
    const std::string* defaultOnDown = params.Text("defaultondown");
    return std::make_unique<cl_UnstableFloatNoise>(
        params.Required("min"), params.Required("max"), params.Required("freq"),
        params.Required("mindowntime"), params.Required("maxdowntime"), params.Required("uptime"),
        defaultOnDown && *defaultOnDown == "true", params.Number("default", 0.0f));
}

SourcePtr BuildModifier(const FloatParams& params, const cl_ValueSourceManager& manager)
{
    const std::string* sourceName = params.Text("src");
    cl_FloatSource* source = sourceName ? manager.GetFloatSource(*sourceName) : nullptr;
    if (!source)
        return nullptr;
    return std::make_unique<cl_FloatModifier>(params.Number("constant", 0.0f), params.Number("linear", 0.0f),
                                              params.Number("quadratic", 0.0f), params.Number("cubic", 0.0f),
                                              source);
}

// One operand of the two-operand forms: a number is a constant, anything else names a source (a name
// without a source leaves the operand with neither).
struct Operand
{
    Operand(const std::string& text, const cl_ValueSourceManager& manager)
    {
        if (!ReadNumber(text, constant))
            source = manager.GetFloatSource(text);
    }

    float constant = 0.0f;
    cl_FloatSource* source = nullptr;
};

SourcePtr BuildOperator(const FloatParams& params, const cl_ValueSourceManager& manager)
{
    const std::string* op = params.Text("op");
    const int operation = cl_FloatOperator::OperationCode(op ? *op : "");
    const std::string* first = params.Text("src1");
    const std::string* second = params.Text("src2");
    SourcePtr built;
    if (first && !second)
    {
        if (cl_FloatSource* source = manager.GetFloatSource(*first))
            built = std::make_unique<cl_FloatOperator>(operation, source);
    }
    else if (first && second)
    {
        const Operand a(*first, manager);
        const Operand b(*second, manager);
        if (a.source && b.source)
            built = std::make_unique<cl_FloatOperator>(operation, a.source, b.source);
        else if (a.source)
            built = std::make_unique<cl_FloatOperator>(operation, a.source, b.constant);
        else if (b.source)
            built = std::make_unique<cl_FloatOperator>(operation, a.constant, b.source);
    }
    return built;
}

// The kinds of source a `float` element's `type` names (compared exactly). A builder returns null when
// the sources it should follow are missing; the loader then logs the kind's class name.
const struct
{
    const char* type;
    SourcePtr (*build)(const FloatParams&, const cl_ValueSourceManager&);
    const char* className;
} FLOAT_TYPES[] = {
    {"static", BuildStatic, "StaticFloat"},
    {"time", BuildTime, "FloatTime"},
    {"noise", BuildNoise, "FloatNoise"},
    {"sine", BuildWave<cl_FloatSine>, "FloatSine"},
    {"cosine", BuildWave<cl_FloatCosine>, "FloatCosine"},
    {"unstablenoise", BuildUnstableNoise, "UnstableFloatNoise"},
    {"modifier", BuildModifier, "FloatModifier"},
    {"operator", BuildOperator, "FloatOperator"},
};

std::string AttributeOrEmpty(const TiXmlElement& element, const char* name)
{
    const std::string* value = element.Attribute(std::string(name));
    return value ? *value : std::string();
}
} // namespace

cl_ValueSourceManager::cl_ValueSourceManager(cl_CommandDistributor& distributor, cl_GameTime& gameTime)
    : m_frames(&gameTime, this, "default", 0), m_receiver(distributor, "valuemanager", this)
{
}

cl_ValueSourceManager::~cl_ValueSourceManager()
{
    // One at a time, each while the others still live: their listeners may be sources held here.
    for (auto& entry : m_sources)
        entry.second.reset();
    m_sources.clear();
}

bool cl_ValueSourceManager::LoadFromXml(const TiXmlElement* element)
{
    // Most scenes have no value sources.
    if (!element)
        return false;
    if (element->ValueStr() != ELEMENT_NAME)
    {
        LOG_ERROR("Couldn't load valuesources from xml - valuesources node expected.");
        return false;
    }
    for (const TiXmlElement* child = element->FirstChildElement("float"); child;
         child = child->NextSiblingElement("float"))
    {
        const std::string type = AttributeOrEmpty(*child, "type");
        const std::string name = AttributeOrEmpty(*child, "name");
        if (name.empty())
        {
            LOG_ERROR("A float of type '%s' has no name and was skipped!", type.c_str());
            continue;
        }
        const FloatParams params(*child, name);
        bool known = false;
        for (const auto& kind : FLOAT_TYPES)
        {
            if (type != kind.type)
                continue;
            known = true;
            if (SourcePtr source = kind.build(params, *this))
                AddFloatSource(name, std::move(source));
            else
                LOG_ERROR("Failed to create %s '%s'!", kind.className, name.c_str());
            break;
        }
        if (!known)
            LOG_ERROR("Unknown float type '%s'... creating a matching ValueSource failed!", type.c_str());

        // Also for a float that failed: the source held under its name from before is switched off.
        const std::string* active = child->Attribute(std::string("active"));
        cl_FloatSource* held = GetFloatSource(name);
        if (held && active && *active == "false")
            held->SetActive(0.0f);
    }
    return true;
}

void cl_ValueSourceManager::RemoveByXml(const TiXmlElement* element)
{
    if (!element)
        return;
    if (element->ValueStr() != ELEMENT_NAME)
    {
        LOG_ERROR("Couldn't remove valuesources from xml - valuesources node expected.");
        return;
    }
    for (const TiXmlElement* child = element->FirstChildElement("float"); child;
         child = child->NextSiblingElement("float"))
    {
        if (const std::string* name = child->Attribute(std::string("name")))
            RemoveFloatSource(GetFloatSource(*name));
    }
}

void cl_ValueSourceManager::AddFloatSource(const std::string& name, std::unique_ptr<cl_FloatSource> source)
{
    if (!source)
    {
        LOG_ERROR("Can't add a NULL ptr, stupid!");
        return;
    }
    std::unique_ptr<cl_FloatSource>& entry = m_sources[name];
    // The new source is in place before the old one's listeners hear of its end.
    const std::unique_ptr<cl_FloatSource> old = std::move(entry);
    entry = std::move(source);
}

cl_FloatSource* cl_ValueSourceManager::GetFloatSource(const std::string& name) const
{
    const auto found = m_sources.find(name);
    return found == m_sources.end() ? nullptr : found->second.get();
}

float cl_ValueSourceManager::GetValue(const std::string& name) const
{
    const cl_FloatSource* source = GetFloatSource(name);
    return source ? source->GetValue() : 0.0f;
}

void cl_ValueSourceManager::RemoveFloatSource(cl_FloatSource* source)
{
    if (!source)
        return;
    for (auto entry = m_sources.begin(); entry != m_sources.end(); ++entry)
    {
        if (entry->second.get() == source)
        {
            // Out of the map before it dies, so its listeners never find it there.
            const std::unique_ptr<cl_FloatSource> doomed = std::move(entry->second);
            m_sources.erase(entry);
            return;
        }
    }
}

void cl_ValueSourceManager::Update(float dt)
{
    for (const auto& entry : m_sources)
        entry.second->Update(entry.second->GetActive() != 0.0f ? dt : 0.0f);
}

bool cl_ValueSourceManager::ExecuteCmd(cl_Command& cmd)
{
    static const struct
    {
        const char* name;
        const char* arguments;
        bool (cl_ValueSourceManager::*handler)(const CommandArguments&, cl_Command&);
    } COMMANDS[] = {
        // Appends one double: the source's value, 0.0 without such a source.
        {"GetValue", "string name", &cl_ValueSourceManager::GetValueCmd},
        // A settable source (static, time, sine, cosine) takes the number.
        {"SetValue", "string name, number value", &cl_ValueSourceManager::SetValueCmd},
        // Switches the source on (true) or off (false).
        {"SetActive", "string name, bool flag", &cl_ValueSourceManager::SetActiveCmd},
    };
    // Unknown names are ignored.
    const CommandArguments args(cmd, "valuemanager");
    const auto* command = args.Find(COMMANDS, false);
    return command && (this->*command->handler)(args, cmd);
}

bool cl_ValueSourceManager::GetValueCmd(const CommandArguments& args, cl_Command& cmd)
{
    cmd.m_results.GetArg(-1)->SetDouble(GetValue(args.String(0)));
    return true;
}

bool cl_ValueSourceManager::SetValueCmd(const CommandArguments& args, cl_Command&)
{
    auto* settable = dynamic_cast<cl_SettableFloat*>(GetFloatSource(args.String(0)));
    if (!settable)
        return false;
    settable->SetValue(args.Float(1));
    return true;
}

bool cl_ValueSourceManager::SetActiveCmd(const CommandArguments& args, cl_Command&)
{
    // A flag of another kind is turned into one: a number is true when it is not 0, a string when it is
    // "true"; anything else reads as the bool getter reads it.
    const cl_Argument& flag = args.Any(1);
    bool on = false;
    switch (flag.GetType())
    {
    case cl_Argument::TYPE_INT:
    case cl_Argument::TYPE_DOUBLE:
        on = flag.GetDouble() != 0.0;
        break;
    case cl_Argument::TYPE_STRING:
        on = flag.GetString() == "true";
        break;
    default:
        on = flag.GetBool();
        break;
    }
    cl_FloatSource* source = GetFloatSource(args.String(0));
    if (!source)
        return false;
    source->SetActive(on ? 1.0f : 0.0f);
    return true;
}
