#include "sheets/sheet_xml.h"

#include <climits>

#include <expat.h>

#include "sheets/sheet_zip.h"

namespace {

std::string_view withoutPrefix(const char* name)
{
    const std::string_view full(name);
    const std::size_t colon = full.find(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

} // namespace

struct XmlStream::State {
    XML_Parser parser = nullptr;
    XmlHandler* handler = nullptr;
    bool refused = false;
    bool paused = false;
    // What of the block fed is left to parse, where it was larger than expat takes at once.
    std::string_view rest;
    bool last = false;
};

namespace {

XmlStream::State& stateOf(void* data)
{
    return *static_cast<XmlStream::State*>(data);
}

void refuse(XmlStream::State& state)
{
    state.refused = true;
    XML_StopParser(state.parser, XML_FALSE);
}

extern "C" void onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    stateOf(data).handler->start(withoutPrefix(name), attributes);
}

extern "C" void onEnd(void* data, const XML_Char* name)
{
    XmlStream::State& state = stateOf(data);
    state.handler->end(withoutPrefix(name));
    if (state.handler->takePause() && !state.refused) {
        XML_StopParser(state.parser, XML_TRUE);
    }
}

extern "C" void onText(void* data, const XML_Char* text, int length)
{
    stateOf(data).handler->text(std::string_view(text, static_cast<std::size_t>(length)));
}

extern "C" void onDoctype(void* data, const XML_Char* /*name*/, const XML_Char* /*system*/,
                          const XML_Char* /*public*/, int /*internalSubset*/)
{
    refuse(stateOf(data));
}

extern "C" void onEntity(void* data, const XML_Char* /*name*/, int /*parameter*/,
                         const XML_Char* /*value*/, int /*length*/, const XML_Char* /*base*/,
                         const XML_Char* /*system*/, const XML_Char* /*public*/,
                         const XML_Char* /*notation*/)
{
    refuse(stateOf(data));
}

} // namespace

std::string_view attribute(const char** attributes, std::string_view name)
{
    for (; attributes != nullptr && *attributes != nullptr; attributes += 2) {
        if (withoutPrefix(*attributes) == name) {
            return attributes[1];
        }
    }
    return {};
}

XmlStream::XmlStream(XmlHandler& handler) : state_(std::make_unique<State>())
{
    state_->handler = &handler;
    state_->parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(state_->parser, state_.get());
    XML_SetElementHandler(state_->parser, onStart, onEnd);
    XML_SetCharacterDataHandler(state_->parser, onText);
    XML_SetStartDoctypeDeclHandler(state_->parser, onDoctype);
    XML_SetEntityDeclHandler(state_->parser, onEntity);
    XML_SetParamEntityParsing(state_->parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlStream::~XmlStream()
{
    XML_ParserFree(state_->parser);
}

namespace {

// Why expat stopped, as a problem to say; none where it paused, or went on to the end.
bool parsed(XmlStream::State& state, XML_Status status, std::string& problem)
{
    if (state.refused) {
        problem = "o XML tem uma DTD ou entidades, que uma planilha n\u00e3o tem";
        return false;
    }
    if (status == XML_STATUS_ERROR) {
        problem = "XML malformado na linha " +
                  std::to_string(XML_GetCurrentLineNumber(state.parser)) + ": " +
                  XML_ErrorString(XML_GetErrorCode(state.parser));
        return false;
    }
    state.paused = status == XML_STATUS_SUSPENDED;
    return true;
}

// Parses what is left of the block, a part at a time, until a pause or its end.
bool parseRest(XmlStream::State& state, std::string& problem)
{
    while (!state.paused) {
        const std::size_t part = std::min<std::size_t>(state.rest.size(), INT_MAX);
        const bool final = state.last && part == state.rest.size();
        const XML_Status status = XML_Parse(state.parser, state.rest.data(), static_cast<int>(part),
                                            final ? XML_TRUE : XML_FALSE);
        state.rest.remove_prefix(part);
        if (!parsed(state, status, problem)) {
            return false;
        }
        if (state.rest.empty()) {
            return true;
        }
    }
    return true;
}

} // namespace

bool XmlStream::feed(std::string_view block, bool last, std::string& problem)
{
    state_->rest = block;
    state_->last = last;
    return parseRest(*state_, problem);
}

bool XmlStream::paused() const
{
    return state_->paused;
}

bool XmlStream::resume(std::string& problem)
{
    state_->paused = false;
    return parsed(*state_, XML_ResumeParser(state_->parser), problem) &&
           parseRest(*state_, problem);
}

bool parsePart(ZipArchive& zip, const std::string& part, XmlHandler& handler, std::string& problem,
               std::size_t& bytes)
{
    const std::unique_ptr<ZipArchive::Member> member = zip.member(part, problem);
    if (!member) {
        return false;
    }
    XmlStream xml(handler);
    std::string block;
    bool more = true;
    while (more) {
        more = member->read(block, problem);
        bytes += block.size();
        if (!problem.empty() || !xml.feed(block, !more, problem)) {
            problem.insert(0, part + ": ");
            return false;
        }
    }
    return true;
}
