#pragma once
// Where an extracted entry goes: memory or a file. The reader writes in bounded pieces and
// never needs more than Write.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_stream.h"

namespace tarvo::archive {

class ByteSink {
public:
    // False stops the extraction: the destination is full or cannot be written.
    [[nodiscard]] virtual bool Write(const void* data, std::size_t size) = 0;
    // Puts the read position back to the start, as a stream handed back to its caller is.
    virtual void Rewind() {}
    // How many bytes are about to come, so memory can be taken once instead of growing.
    virtual void Expect(std::size_t /*size*/) {}

protected:
    ~ByteSink() = default;
};

// Memory. `limit` keeps a hostile size from taking the process's memory: what the caller
// expects to hold, not what the archive claims.
class StringSink final : public ByteSink {
public:
    explicit StringSink(std::size_t limit = 256u << 20) : limit_(limit) {}
    [[nodiscard]] bool Write(const void* data, std::size_t size) override {
        if (size > limit_ - bytes_.size()) return false;
        bytes_.append(static_cast<const char*>(data), size);
        return true;
    }
    // Never past the limit: a claimed size is the archive's word, not yet a fact.
    void Expect(std::size_t size) override { bytes_.reserve(std::min(size, limit_)); }
    [[nodiscard]] const std::string& bytes() const noexcept { return bytes_; }
    [[nodiscard]] std::string& bytes() noexcept { return bytes_; }

private:
    std::string bytes_;
    std::size_t limit_;
};

// Where packed bytes come from: the archive file, a temporary file, or memory.
class ByteSource {
public:
    // Up to `size` bytes; 0 at the end or on a read error.
    [[nodiscard]] virtual std::size_t ReadSome(void* data, std::size_t size) = 0;

protected:
    ~ByteSource() = default;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(platform::FileStream& file) noexcept : file_(file) {}
    [[nodiscard]] std::size_t ReadSome(void* data, std::size_t size) override { return file_.ReadSome(data, size); }

private:
    platform::FileStream& file_;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string bytes) noexcept : bytes_(std::move(bytes)) {}
    [[nodiscard]] std::size_t ReadSome(void* data, std::size_t size) override {
        const std::size_t take = std::min(size, bytes_.size() - position_);
        bytes_.copy(static_cast<char*>(data), take, position_);
        position_ += take;
        return take;
    }
    [[nodiscard]] std::size_t size() const noexcept { return bytes_.size(); }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

// An open file; Rewind seeks it to its start.
class FileSink final : public ByteSink {
public:
    explicit FileSink(platform::FileStream& file) noexcept : file_(file) {}
    [[nodiscard]] bool Write(const void* data, std::size_t size) override { return file_.Write(data, size); }
    void Rewind() override { (void)file_.Seek(0); }

private:
    platform::FileStream& file_;
};

}  // namespace tarvo::archive
