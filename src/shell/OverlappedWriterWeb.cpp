// The browser has no threads: each buffer is written when it is full, and
// the store starts keeping it while the next one is generated.

#include "shell/OverlappedWriter.h"

OverlappedWriter::OverlappedWriter(const std::string& path)
    : file_(path, platform::OpenMode::Replace), filling_(BUFFER_SIZE) {
    setp(filling_.data(), filling_.data() + filling_.size());
}

OverlappedWriter::~OverlappedWriter() = default;

bool OverlappedWriter::finish() {
    const bool handed = handOver();
    const bool closed = file_.close();
    return handed && closed && !failed_;
}

OverlappedWriter::int_type OverlappedWriter::overflow(int_type ch) {
    if (!handOver()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

int OverlappedWriter::sync() { return handOver() ? 0 : -1; }

bool OverlappedWriter::handOver() {
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    if (!file_.isOpen() || failed_) return false;
    if (size == 0) return true;
    failed_ = !file_.writeAt(written_, reinterpret_cast<const std::uint8_t*>(filling_.data()), size);
    written_ += static_cast<std::int64_t>(size);
    if (!failed_) file_.startWriteback();
    setp(filling_.data(), filling_.data() + filling_.size());
    return !failed_;
}
