#include "output.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace vqhost {

Output::Output(int fd) : m_Fd(fd) {}

Output& Output::operator<<(long long value) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  return *this << std::string_view(digits, static_cast<size_t>(result.ptr - digits));
}

void Output::Flush() {
  if (m_Buffer.empty()) return;
  WriteAll(m_Buffer);
  m_Buffer.clear();
}

void Output::WriteAll(std::string_view bytes) {
  m_Written = true;
  while (!bytes.empty()) {
    ssize_t written = ::write(m_Fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) throw WriteError(std::string("cannot write the report: ") + std::strerror(written < 0 ? errno : EIO));
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void Output::Finish() {
  Flush();
  if (::close(m_Fd) != 0 && errno != EINTR)
    throw WriteError(std::string("cannot write the report: ") + std::strerror(errno));
  m_Fd = -1;
}

}  // namespace vqhost
