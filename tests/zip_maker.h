#ifndef BOLETIM_TESTS_ZIP_MAKER_H
#define BOLETIM_TESTS_ZIP_MAKER_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <zip.h>

using ZipParts = std::vector<std::pair<std::string, std::string>>;

// A zip of parts, made in memory by libzip; stored, which is fast, or compressed as told.
inline std::string zipOf(const ZipParts& parts, bool compressed = false)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* bytes = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(bytes);
    zip_t* zip = zip_open_from_source(bytes, ZIP_TRUNCATE, &error);
    for (const auto& [name, content] : parts) {
        zip_source_t* part = zip_source_buffer(zip, content.data(), content.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), part, ZIP_FL_OVERWRITE);
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                 compressed ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 1);
    }
    zip_close(zip);
    std::string made;
    if (zip_source_open(bytes) == 0) {
        zip_source_seek(bytes, 0, SEEK_END);
        made.resize(static_cast<std::size_t>(zip_source_tell(bytes)));
        zip_source_seek(bytes, 0, SEEK_SET);
        zip_source_read(bytes, made.data(), made.size());
        zip_source_close(bytes);
    }
    zip_source_free(bytes);
    zip_error_fini(&error);
    return made;
}

#endif
