#ifndef BOLETIM_SHEET_XML_H
#define BOLETIM_SHEET_XML_H

#include <memory>
#include <string>
#include <string_view>
#include <utility>

// What a reader of a spreadsheet's XML is told, element by element. Names come without
// their namespace's prefix ("c", not "x:c").
class ZipArchive;

class XmlHandler {
  public:
    XmlHandler() = default;
    XmlHandler(const XmlHandler&) = delete;
    XmlHandler(XmlHandler&&) = delete;
    XmlHandler& operator=(const XmlHandler&) = delete;
    XmlHandler& operator=(XmlHandler&&) = delete;
    virtual ~XmlHandler() = default;

    // attributes: name, value, name, value..., then null.
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view text) = 0;

    // Whether the handler asked the parsing to stop where it is, to go on when told; the
    // asking is forgotten.
    bool takePause()
    {
        return std::exchange(pause_, false);
    }

  protected:
    // Stops the parsing after this element, until it is resumed: a reader of rows has one
    // row in hand, and the rest of the block waits.
    void pause()
    {
        pause_ = true;
    }

  private:
    bool pause_ = false;
};

// The value of an attribute, by its name without prefix; empty where there is none.
std::string_view attribute(const char** attributes, std::string_view name);

// XML read in blocks with expat. A document with a DTD, and so any entity of its own, is
// refused: a spreadsheet has none, and entities are how XML is made to blow up.
class XmlStream {
  public:
    explicit XmlStream(XmlHandler& handler);
    XmlStream(const XmlStream&) = delete;
    XmlStream(XmlStream&&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;
    XmlStream& operator=(XmlStream&&) = delete;
    ~XmlStream();

    // Parses the next block, the last one where last; false, with why, where the XML is
    // broken or refused. It may stop before the block's end, where the handler paused it.
    bool feed(std::string_view block, bool last, std::string& problem);

    // Whether the handler paused the parsing before the block's end; then resume goes on
    // with the rest, and may pause again.
    [[nodiscard]] bool paused() const;
    bool resume(std::string& problem);

    struct State;

  private:
    std::unique_ptr<State> state_;
};

// Parses the zip's member part whole with handler, adding the bytes parsed to bytes;
// false, with why, where it is missing or broken.
bool parsePart(ZipArchive& zip, const std::string& part, XmlHandler& handler, std::string& problem,
               std::size_t& bytes);

#endif
