#pragma once
// File lists in the shell's transfer formats: file group descriptors, HDROP
// blocks (8-bit or wide names) and shell ID lists, built from a folder and
// names. The byte layouts are TransferBlocks.h's.

#include <windows.h>

#include <string>
#include <vector>

#include "dragdrop/TransferBlocks.h"
#include "framework/StringList.h"

namespace plx {

// One record per name for folder + name; the attributes are the file's when
// it exists, else the number in the name's object slot, else archive.
std::string FileGroupDescriptorFromFileList(const std::string& folder, const TStringList& names);
// The same; when sizes has an entry for every name, each record carries its
// size too.
std::string FileGroupDescriptorFromFileListEx(const std::string& folder, const TStringList& names,
                                              const std::vector<std::uint32_t>& sizes);
// An HDROP block of folder + each name; wide converts the names from the
// 8-bit code page to UTF-16.
std::string HDROPFromFileListEx(const std::string& folder, const TStringList& names, bool wide);
// Wide names exactly when the platform is of the NT family.
std::string HDROPFromFileList(const std::string& folder, const TStringList& names);
// A CIDA block: the folder's absolute identifier list, then each name's list
// relative to it; empty when the folder or a name cannot be resolved.
std::string ShellIDListFromFileList(const std::string& folder, const TStringList& names);

}  // namespace plx
