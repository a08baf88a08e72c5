// Plain data types and constants shared by every machine behind the OS port. They mirror the
// Windows values the program relies on, under names of their own, so that the units compile
// on any host without the Windows headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace os {

using Bytes = std::vector<std::uint8_t>;

// Opaque handles. Zero is never a valid window, key or library; files use kInvalidHandle.
using Handle = std::uintptr_t;
using WindowHandle = std::uintptr_t;
using KeyHandle = std::uintptr_t;
using LibraryHandle = std::uintptr_t;
using ProcAddress = std::uintptr_t;
using IconHandle = std::uintptr_t;

inline constexpr Handle kInvalidHandle = ~Handle{0};

// 100-nanosecond intervals since 1 January 1601 (UTC or local, as the call says).
struct FileTime {
  std::uint64_t ticks = 0;
  friend bool operator==(const FileTime&, const FileTime&) = default;
};

struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

// One entry of a folder search, names as 8-bit text in the ANSI code page.
struct FindData {
  std::uint32_t attributes = 0;
  FileTime creationTime;
  FileTime lastAccessTime;
  FileTime lastWriteTime;
  std::uint64_t size = 0;
  std::uint32_t reparseTag = 0;  // meaningful when kFileAttributeReparsePoint is set
  std::string name;
};

struct VolumeInfo {
  std::string name;  // empty when not asked for
  std::uint32_t maxComponentLength = 0;
  std::uint32_t fileSystemFlags = 0;
};

struct StorageDeviceInfo {
  std::uint32_t busType = 0;
  bool removableMedia = false;
};

struct RegistryValue {
  std::uint32_t type = 0;
  Bytes data;
};

// File access, sharing, creation.
inline constexpr std::uint32_t kGenericRead = 0x80000000u;
inline constexpr std::uint32_t kGenericWrite = 0x40000000u;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kFileShareDelete = 0x4;
inline constexpr std::uint32_t kCreateNew = 1;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kOpenAlways = 4;
inline constexpr std::uint32_t kTruncateExisting = 5;
inline constexpr std::uint32_t kFileFlagSequentialScan = 0x08000000u;

// File attributes.
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kFileAttributeHidden = 0x2;
inline constexpr std::uint32_t kFileAttributeSystem = 0x4;
inline constexpr std::uint32_t kFileAttributeVolumeLabel = 0x8;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
inline constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

inline constexpr std::uint32_t kIoReparseTagMountPoint = 0xA0000003u;
inline constexpr std::uint32_t kIoReparseTagSymlink = 0xA000000Cu;

// Drive kinds as GetDriveType reports them.
inline constexpr std::uint32_t kDriveUnknown = 0;
inline constexpr std::uint32_t kDriveNoRootDir = 1;
inline constexpr std::uint32_t kDriveRemovable = 2;
inline constexpr std::uint32_t kDriveFixed = 3;
inline constexpr std::uint32_t kDriveRemote = 4;
inline constexpr std::uint32_t kDriveCdrom = 5;
inline constexpr std::uint32_t kDriveRamdisk = 6;

// Storage bus types of the device query.
inline constexpr std::uint32_t kBusTypeUnknown = 0;
inline constexpr std::uint32_t kBusTypeScsi = 1;
inline constexpr std::uint32_t kBusTypeAtapi = 2;
inline constexpr std::uint32_t kBusTypeAta = 3;
inline constexpr std::uint32_t kBusType1394 = 4;
inline constexpr std::uint32_t kBusTypeUsb = 7;
inline constexpr std::uint32_t kBusTypeSata = 11;

// Volume flags.
inline constexpr std::uint32_t kFsCaseSensitive = 0x1;
inline constexpr std::uint32_t kFsCaseIsPreserved = 0x2;

// Error modes.
inline constexpr std::uint32_t kSemFailCriticalErrors = 0x1;

// Special folder ids.
inline constexpr int kCsidlPersonal = 5;
inline constexpr int kCsidlCommonAppData = 35;
inline constexpr int kCsidlProgramFiles = 38;

// Registry.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Message boxes.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbAbortRetryIgnore = 0x2;
inline constexpr std::uint32_t kMbYesNoCancel = 0x3;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbRetryCancel = 0x5;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Locale comparison.
inline constexpr std::uint32_t kNormIgnoreCase = 0x1;
inline constexpr std::uint32_t kSortStringSort = 0x1000;
inline constexpr int kCstrLessThan = 1;
inline constexpr int kCstrEqual = 2;
inline constexpr int kCstrGreaterThan = 3;

inline constexpr int kSwShow = 5;

}  // namespace os
