#include "sheets/sheet_zip.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include <zip.h>

namespace {

// A spreadsheet read from a pipe is kept in memory, up to this size.
constexpr std::size_t mostInMemory = std::size_t{1} << 30U;
constexpr std::size_t readBlock = std::size_t{64} << 10U;

// The input file as libzip's source, read where it is, and never closed by libzip: the
// program that opened it closes it.
struct FileSource {
    std::FILE* file;
    zip_int64_t size;
    zip_error_t error;
};

zip_int64_t fileCommand(FileSource& source, void* data, zip_uint64_t length,
                        zip_source_cmd_t command)
{
    switch (command) {
    case ZIP_SOURCE_OPEN:
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_READ: {
        const std::size_t read = std::fread(data, 1, static_cast<std::size_t>(length), source.file);
        if (read == 0 && std::ferror(source.file) != 0) {
            zip_error_set(&source.error, ZIP_ER_READ, 0);
            return -1;
        }
        return static_cast<zip_int64_t>(read);
    }
    case ZIP_SOURCE_STAT: {
        auto* status = static_cast<zip_stat_t*>(data);
        zip_stat_init(status);
        status->size = static_cast<zip_uint64_t>(source.size);
        status->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_SEEK: {
        const std::int64_t position = std::ftell(source.file);
        const zip_int64_t offset = zip_source_seek_compute_offset(
            static_cast<zip_uint64_t>(position), static_cast<zip_uint64_t>(source.size), data,
            length, &source.error);
        return offset < 0 || std::fseek(source.file, static_cast<long>(offset), SEEK_SET) != 0 ? -1
                                                                                               : 0;
    }
    case ZIP_SOURCE_TELL:
        return std::ftell(source.file);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source.error, data, length);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&source.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

extern "C" zip_int64_t fileCallback(void* state, void* data, zip_uint64_t length,
                                    zip_source_cmd_t command)
{
    return fileCommand(*static_cast<FileSource*>(state), data, length, command);
}

std::string zipProblem(zip_error_t* error)
{
    return "o arquivo zip est\u00e1 corrompido ou incompleto (" +
           std::string(zip_error_strerror(error)) + ")";
}

} // namespace

struct ZipArchive::State {
    FileSource file{};
    std::string bytes; // a spreadsheet read from a pipe, or from memory
    zip_t* archive = nullptr;
};

struct ZipArchive::Member::State {
    zip_file_t* file = nullptr;
    std::uint64_t compressed = 0;
    std::uint64_t inflated = 0;
    std::string name;
};

ZipArchive::ZipArchive(std::unique_ptr<State> state) : state_(std::move(state)) {}

ZipArchive::~ZipArchive()
{
    if (state_->archive != nullptr) {
        zip_discard(state_->archive);
    }
}

std::unique_ptr<ZipArchive> ZipArchive::open(LineReader& input, std::string& problem)
{
    auto state = std::make_unique<State>();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = nullptr;
    std::FILE* file = input.file;
    if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) > 0) {
        state->file = {file, std::ftell(file), {}};
        zip_error_init(&state->file.error);
        std::fseek(file, 0, SEEK_SET);
        source = zip_source_function_create(fileCallback, &state->file, &error);
    } else {
        // The first block was read already, and the rest follows in the pipe or in memory.
        state->bytes = input.block;
        state->bytes.append(input.memory);
        std::array<char, readBlock> block{};
        for (std::size_t read = 0; file != nullptr && state->bytes.size() <= mostInMemory &&
                                   (read = std::fread(block.data(), 1, block.size(), file)) > 0;) {
            state->bytes.append(block.data(), read);
        }
        source = zip_source_buffer_create(state->bytes.data(), state->bytes.size(), 0, &error);
    }
    if (source != nullptr) {
        state->archive = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (state->archive == nullptr) {
            zip_source_free(source);
        }
    }
    if (state->archive == nullptr) {
        problem = zipProblem(&error);
        zip_error_fini(&error);
        return nullptr;
    }
    zip_error_fini(&error);
    return std::unique_ptr<ZipArchive>(new ZipArchive(std::move(state)));
}

bool ZipArchive::has(std::string_view name) const
{
    return zip_name_locate(state_->archive, std::string(name).c_str(), 0) >= 0;
}

std::unique_ptr<ZipArchive::Member> ZipArchive::member(std::string_view name, std::string& problem)
{
    const zip_int64_t index = zip_name_locate(state_->archive, std::string(name).c_str(), 0);
    zip_stat_t status;
    if (index < 0 ||
        zip_stat_index(state_->archive, static_cast<zip_uint64_t>(index), 0, &status) != 0) {
        problem = "falta a parte " + std::string(name) + " da planilha";
        return nullptr;
    }
    auto member = std::make_unique<Member::State>();
    member->name = name;
    member->compressed = (status.valid & ZIP_STAT_COMP_SIZE) != 0 ? status.comp_size : 0;
    member->file = zip_fopen_index(state_->archive, static_cast<zip_uint64_t>(index), 0);
    if (member->file == nullptr) {
        problem = zipProblem(zip_get_error(state_->archive));
        return nullptr;
    }
    return std::make_unique<Member>(std::move(member));
}

bool ZipArchive::readWhole(std::string_view name, std::size_t most, std::string& text,
                           std::string& problem)
{
    text.clear();
    const std::unique_ptr<Member> part = member(name, problem);
    std::string block;
    while (part && text.size() <= most && part->read(block, problem)) {
        text += block;
    }
    if (part && text.size() > most) {
        problem = "a parte " + std::string(name) + " da planilha \u00e9 grande demais";
    }
    return part && problem.empty();
}

ZipArchive::Member::Member(std::unique_ptr<State> state) : state_(std::move(state)) {}

ZipArchive::Member::~Member()
{
    zip_fclose(state_->file);
}

bool ZipArchive::Member::read(std::string& block, std::string& problem)
{
    block.resize(readBlock);
    const zip_int64_t read = zip_fread(state_->file, block.data(), block.size());
    if (read < 0) {
        problem = zipProblem(zip_file_get_error(state_->file));
        return false;
    }
    block.resize(static_cast<std::size_t>(read));
    state_->inflated += static_cast<std::uint64_t>(read);
    const bool bomb = state_->inflated > mostInflated ||
                      (state_->inflated > inflatedAnyway &&
                       state_->inflated > mostInflationRatio * state_->compressed);
    if (bomb) {
        problem = "a parte " + state_->name + " da planilha se descompacta em mais de " +
                  std::to_string(state_->inflated >> 20U) +
                  " MiB; n\u00e3o \u00e9 uma planilha de verdade";
        return false;
    }
    return read > 0;
}
