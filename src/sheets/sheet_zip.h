#ifndef BOLETIM_SHEET_ZIP_H
#define BOLETIM_SHEET_ZIP_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "text/lines.h"

// A member inflates to at most this many bytes, or, where it is larger than
// inflatedAnyway, this many times its compressed size: a zip bomb is refused, however
// its sizes are declared.
constexpr std::uint64_t mostInflated = std::uint64_t{1} << 30U;
constexpr std::uint64_t inflatedAnyway = std::uint64_t{100} << 20U;
constexpr std::uint64_t mostInflationRatio = 100;

// The zip a spreadsheet is, its members only ever looked up by name and read; nothing in
// it is ever written anywhere. Read with libzip, from the input file where it can seek,
// or else from a copy of it in memory.
class ZipArchive {
  public:
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive(ZipArchive&&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ZipArchive& operator=(ZipArchive&&) = delete;
    ~ZipArchive();

    // The zip in input, which has read its first block; null, with why, where it is none.
    static std::unique_ptr<ZipArchive> open(LineReader& input, std::string& problem);

    [[nodiscard]] bool has(std::string_view name) const;

    // A member read in blocks.
    class Member;
    std::unique_ptr<Member> member(std::string_view name, std::string& problem);

    // A small member whole: at most most bytes.
    bool readWhole(std::string_view name, std::size_t most, std::string& text,
                   std::string& problem);

    struct State;

  private:
    explicit ZipArchive(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

class ZipArchive::Member {
  public:
    Member(const Member&) = delete;
    Member(Member&&) = delete;
    Member& operator=(const Member&) = delete;
    Member& operator=(Member&&) = delete;
    ~Member();

    // The next block into block; false at the end, or, with why, where reading failed or the
    // member inflates past its limit.
    bool read(std::string& block, std::string& problem);

    struct State;
    explicit Member(std::unique_ptr<State> state);

  private:
    std::unique_ptr<State> state_;
};

#endif
