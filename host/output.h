#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

namespace vqhost {

// A write to the report's destination failed (a full disk, a closed pipe).
class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The report as it is produced: buffered, written to a file descriptor in
// large blocks, every write checked. Throws WriteError on the first failure.
class Output {
 public:
  explicit Output(int fd);
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Output& operator<<(std::string_view text) {
    if (text.size() > kCapacity - m_Buffer.size()) Flush();
    if (text.size() >= kCapacity) WriteAll(text);
    else m_Buffer.append(text);
    return *this;
  }
  Output& operator<<(const char* text) { return *this << std::string_view(text); }
  Output& operator<<(char c) { return *this << std::string_view(&c, 1); }
  Output& operator<<(long long value);
  Output& operator<<(int value) { return *this << static_cast<long long>(value); }
  Output& operator<<(size_t value) { return *this << static_cast<long long>(value); }

  // Appends through `write(std::string&)` straight into the buffer, for text
  // that is escaped on its way out.
  template <class Write>
  Output& Compose(Write write) {
    write(m_Buffer);
    if (m_Buffer.size() >= kCapacity) Flush();
    return *this;
  }

  // Whether any of the report has reached the destination: until then a
  // failure leaves it empty.
  bool Written() const { return m_Written; }
  // Writes what is buffered and closes the descriptor; a report that cannot
  // be closed cleanly may not have arrived, so that fails too.
  void Finish();

 private:
  static constexpr size_t kCapacity = size_t{1} << 20;
  void Flush();
  void WriteAll(std::string_view bytes);

  int m_Fd;
  bool m_Written = false;
  std::string m_Buffer;
};

}  // namespace vqhost
