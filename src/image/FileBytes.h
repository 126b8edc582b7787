#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel::image {

// The bytes of a whole file, held in memory that is released with the object. Large files
// are read into huge pages where the system offers them: a firmware file of a few MB would
// otherwise cost a page fault for every 4 KB, a good part of a conversion's time.
class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Reads the whole file; returns 0, or the errno of the failing call.
    int Read(const std::string& path);

    std::string_view text() const { return {data_, size_}; }

private:
    bool Reserve(std::size_t capacity);
    void Release();

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
};

} // namespace quorvel::image
