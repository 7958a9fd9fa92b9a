"""A reader of the parts of a Windows program (PE image) that the loader and the delay-load helper use:
its sections, its import table and its delay-load descriptors. It reads the file only, so it runs on a
machine that cannot run the program, and needs no symbols."""
import re
import struct
from dataclasses import dataclass

# Section characteristics that make a section's bytes code.
_EXECUTABLE = 0x20 | 0x20000000  # IMAGE_SCN_CNT_CODE, IMAGE_SCN_MEM_EXECUTE


class ImageError(Exception):
    pass


@dataclass
class DelayDescriptor:
    """One delay-loaded library: its name (lowercase) and the relative addresses of its name table
    and of its address table, the slots that the delay-load helper fills on each function's first call."""
    library: str
    names: int
    slots: int
    # Subtracted from the name table's entries: the image base in an older linker's table, else 0.
    base: int = 0


class Image:
    """A PE image's machine, sections and its two import tables: imports and delayed are
    {library (lowercase): [function name or "#ordinal"]}."""

    def __init__(self, path=None, data=None):
        if data is None:
            with open(path, "rb") as file:
                data = file.read()
        self.data = data
        if self.data[:2] != b"MZ":
            raise ImageError(f"{path}: not a Windows program")
        pe = self.u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ImageError(f"{path}: no PE header")
        self.machine, sections = struct.unpack_from("<HH", self.data, pe + 4)
        optional_size = self.u16(pe + 20)
        optional = pe + 24
        magic = self.u16(optional)
        self.wide = magic == 0x20B
        directories = optional + (112 if self.wide else 96)
        self.base = self.pointer_at(optional + (24 if self.wide else 28))
        # (relative address, size, file offset, characteristics)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
                "<IIII", self.data, table + 40 * i + 8)
            characteristics = self.u32(table + 40 * i + 36)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_offset, characteristics))
        self.imports = {}
        for library, names in self._import_descriptors(self.directory(directories, 1)):
            self.imports.setdefault(library, []).extend(self.names(names))
        self.delay_descriptors = (self._delay_descriptors(self.directory(directories, 13))
                                  or self._delay_descriptors_by_shape())
        self.delayed = {}
        for descriptor in self.delay_descriptors:
            self.delayed.setdefault(descriptor.library, []).extend(self.names(descriptor.names, descriptor.base))

    @property
    def pointer_size(self):
        return 8 if self.wide else 4

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def pointer_at(self, offset):
        return struct.unpack_from("<Q" if self.wide else "<I", self.data, offset)[0]

    def directory(self, directories, index):
        return self.u32(directories + 8 * index)

    def section_of(self, rva):
        for section in self.sections:
            if section[0] <= rva < section[0] + section[1]:
                return section
        return None

    def offset(self, rva):
        section = self.section_of(rva)
        if section is None:
            raise ImageError(f"address {rva:#x} is in no section")
        return rva - section[0] + section[2]

    def is_code(self, rva):
        section = self.section_of(rva)
        return section is not None and bool(section[3] & _EXECUTABLE)

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def _import_descriptors(self, rva):
        """(library, name table) of the import directory's descriptors, until an empty one."""
        if rva == 0:
            return
        entry = self.offset(rva)
        while any(self.data[entry:entry + 20]):
            lookup, _, _, name, addresses = struct.unpack_from("<5I", self.data, entry)
            # An old linker's table may have no lookup table: the address table then holds the names.
            yield self.text(name).lower(), lookup or addresses
            entry += 20

    def _delay_descriptors(self, rva):
        """The delay-load directory's descriptors: attributes, the library's name, its module handle,
        address table and name table, then three more fields. With attribute bit 0 the fields are
        relative addresses; older linkers' tables hold addresses."""
        found = []
        if rva == 0:
            return found
        entry = self.offset(rva)
        while any(self.data[entry:entry + 32]):
            attributes, name, _, slots, names = struct.unpack_from("<5I", self.data, entry)
            base = 0 if attributes & 1 else self.base
            found.append(DelayDescriptor(self.text(name - base).lower(), names - base, slots - base, base))
            entry += 32
        return found

    def _delay_descriptors_by_shape(self):
        """GNU ld (up to 2.40 at least) links the delay-load descriptors that dlltool makes, one per
        library, into the code section without naming them in the image's directory: they are found by
        their shape, relative addresses whose last three fields are zero, the first naming a library."""
        found = []
        for match in re.finditer(rb"\x01\0\0\0(.{16})\0{12}", self.data, re.S):
            name, _, slots, names = struct.unpack("<4I", match.group(1))
            try:
                library = self.text(name).lower()
                if re.fullmatch(r"[\w.-]+\.(dll|drv)", library):
                    list(self.names(names))
                    found.append(DelayDescriptor(library, names, slots))
            except (ImageError, ValueError, UnicodeDecodeError, struct.error):
                continue
        return found

    def names(self, rva, base=0):
        """The function names (or "#ordinal") of a name table whose entries are BASE + relative addresses."""
        flag = 1 << (8 * self.pointer_size - 1)
        entry = self.offset(rva)
        while True:
            thunk = self.pointer_at(entry)
            if thunk == 0:
                return
            # A name is a 16-bit hint, then the text.
            yield f"#{thunk & 0xFFFF}" if thunk & flag else self.text((thunk & 0x7FFFFFFF) - base + 2)
            entry += self.pointer_size
