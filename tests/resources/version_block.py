"""Reads a VS_VERSIONINFO resource into its tree of keyed nodes."""

import struct
from dataclasses import dataclass

_TEXT = 1


@dataclass
class VersionNode:
    key: str
    value: bytes | str
    children: list

    def child(self, key):
        matches = [node for node in self.children if node.key == key]
        return matches[0] if len(matches) == 1 else None


def _align(offset):
    return (offset + 3) & ~3


def _read_key(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def read_node(data, offset=0):
    """The node at offset and everything below it. Text values are counted in
    characters with their terminating NUL, binary ones in bytes."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key, key_end = _read_key(data, offset + 6)
    value_start = _align(key_end)
    if kind == _TEXT:
        raw = data[value_start:value_start + 2 * value_length]
        value = raw.decode("utf-16-le")
        value = value[:-1] if value.endswith("\0") else value
        value_end = value_start + len(raw)
    else:
        value = data[value_start:value_start + value_length]
        value_end = value_start + value_length
    children = []
    child_offset = _align(value_end)
    while child_offset < end:
        child, child_end = read_node(data, child_offset)
        children.append(child)
        child_offset = _align(child_end)
    return VersionNode(key, value, children), end
