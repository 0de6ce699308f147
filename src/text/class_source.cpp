#include "text/class_source.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "class/layout.h"

namespace {

std::vector<Line> readAhead(LineReader& input)
{
    std::vector<Line> lines;
    std::size_t bytes = 0;
    Line line;
    while (lines.size() < linesReadAhead && bytes < bytesReadAhead && readLine(input, line)) {
        bytes += line.text.size();
        lines.push_back(std::move(line));
    }
    return lines;
}

// A text file's lines, split into fields by the separator its first lines show.
class TextSource final : public ClassSource {
  public:
    TextSource(LineReader& input, std::string_view source) : input_(input), source_(source)
    {
        std::vector<Line> lookAhead = readAhead(input);
        separator_ = chooseSeparator(lookAhead);
        records_.lines = &input;
        records_.pending.assign(std::make_move_iterator(lookAhead.begin()),
                                std::make_move_iterator(lookAhead.end()));
        records_.separator = separator_.separator;
    }

    [[nodiscard]] SeparatorChoice separator() const override
    {
        return separator_;
    }

    bool next(Record& record) override
    {
        return readRecord(records_, record);
    }

    [[nodiscard]] std::string where(long line, std::optional<std::size_t> /*column*/) const override
    {
        return source_ + ':' + std::to_string(line);
    }

    [[nodiscard]] std::string problem() const override
    {
        if (input_.file == nullptr || std::ferror(input_.file) == 0) {
            return {};
        }
        return "erro ao ler '" + source_ + "'" +
               (errno == 0 ? "" : ": " + std::string(std::strerror(errno)));
    }

  private:
    LineReader& input_;
    std::string source_;
    SeparatorChoice separator_;
    RecordReader records_;
};

} // namespace

std::unique_ptr<ClassSource> textSource(LineReader& reader, std::string_view source)
{
    return std::make_unique<TextSource>(reader, source);
}
