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
    stateOf(data).handler->end(withoutPrefix(name));
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

std::string_view qualifiedAttribute(const char** attributes, std::string_view name)
{
    for (; attributes != nullptr && *attributes != nullptr; attributes += 2) {
        if (std::string_view(*attributes) == name) {
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

bool XmlStream::feed(std::string_view block, bool last, std::string& problem)
{
    for (std::string_view rest = block;;) {
        const std::size_t part = std::min<std::size_t>(rest.size(), INT_MAX);
        const XML_Status status = XML_Parse(state_->parser, rest.data(), static_cast<int>(part),
                                            last && part == rest.size() ? XML_TRUE : XML_FALSE);
        if (state_->refused) {
            problem = "o XML tem uma DTD ou entidades, que uma planilha n\u00e3o tem";
            return false;
        }
        if (status != XML_STATUS_OK) {
            problem = "XML malformado na linha " +
                      std::to_string(XML_GetCurrentLineNumber(state_->parser)) + ": " +
                      XML_ErrorString(XML_GetErrorCode(state_->parser));
            return false;
        }
        rest.remove_prefix(part);
        if (rest.empty()) {
            return true;
        }
    }
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
