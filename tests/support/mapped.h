#pragma once
// Whether any part of a file whose name ends in `name` is mapped into this
// process (Linux).
#include <fstream>
#include <string>

inline bool Mapped(const std::string& name) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line))
    if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0) return true;
  return false;
}
