// PortList: the serial ports the modem search walks, in order.
#pragma once

#include <string>
#include <vector>

#include "wizard/engine/ini_file.h"
#include "wizard/engine/multi_string_buffer.h"

constexpr std::size_t PORT_LIST_SIZE = 1308;
using PortList = MultiStringBuffer<PORT_LIST_SIZE>;

// The value of ComList that selects the fixed list.
constexpr const char* kFixedPortListSetting = "OpenComOneToNine";

// True when ComList in [Common] is "OpenComOneToNine" in any case.
bool UsesFixedPortList(const IniFile& ini);

// COM1 to COM9.
PortList FixedPortList();

// The names in the given order without repeats (compared without regard
// to case; the first stays). Names that do not fit into the list's 1,308
// bytes are left out and, when dropped is given, listed there.
PortList DiscoveredPortList(const std::vector<std::string>& names,
                            std::vector<std::string>* dropped = nullptr);

// The fixed list or the ports of this system, as ComList chooses.
PortList ReadPortList(const IniFile& ini);
