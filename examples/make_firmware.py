#!/usr/bin/env python3
"""Writes the example firmware files that examples/Wizard.inf names.

The images are filler, not real firmware: what matters is the 128-byte
header (image length at 54, "ORV" at 62, type letter at 65, version at 80),
the flash loader behind the image where the model needs one, and for the
flash plug-in an Intel HEX text with its header characters at 65-72.
Run it from anywhere; it rewrites the files under examples/firmware/.
"""
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "firmware")


def filler(length, seed):
    """Deterministic bytes that look like code."""
    out = bytearray()
    state = seed
    for _ in range(length):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append((state >> 16) & 0xFF)
    return bytes(out)


def header(image_length, type_letter, version):
    block = bytearray(b"\xff" * 128)
    block[0:32] = b"ORVA firmware image".ljust(32, b"\0")
    block[54:58] = image_length.to_bytes(4, "big")
    block[62:65] = b"ORV"
    block[65:66] = type_letter.encode()
    block[80:84] = version.encode()
    return bytes(block)


def loader_offset(image_length):
    rounded = (image_length + 1023) // 1024 * 1024
    segments = (rounded + 63 * 1024 - 1) // (63 * 1024)
    return rounded + segments * 128 + 128 + 256


def plain_firmware():
    image = filler(2048, 7)
    return header(len(image), "L", "2.31") + image


def firmware_with_loader():
    image_length = 3000
    start = loader_offset(image_length)
    body = filler(start - 128, 11)
    loader = b"LDR1" + filler(636, 13)
    return header(image_length, "F", "4.12") + body + loader


def hex_record(address, data, record_type=0):
    payload = bytes([len(data), address >> 8, address & 0xFF, record_type]) + data
    checksum = (-sum(payload)) & 0xFF
    return ":" + (payload + bytes([checksum])).hex().upper() + "\r\n"


def hex_image(first_data, seed, records):
    lines = [hex_record(0, first_data)]
    body = filler(16 * records, seed)
    for i in range(1, records):
        lines.append(hex_record(16 * i, body[16 * i:16 * i + 16]))
    lines.append(hex_record(0, b"", 1))
    return "".join(lines)


def flash_image():
    # Characters 65-72 of the text: load checksum 0x1234 (low byte first),
    # type 55 (USB), sector size "08". They fall into the second record.
    first = filler(16, 17)
    text = hex_image(first, 19, 24)
    second_start = len(hex_record(0, first))
    data_start = second_start + 9
    wanted = "34125508"
    record = text[second_start:second_start + 45]
    chars = list(record[9:41])
    for i, c in enumerate(wanted):
        chars[65 - data_start + i] = c
    data = bytes.fromhex("".join(chars))
    fixed = hex_record(16, data)
    text = text[:second_start] + fixed + text[second_start + len(fixed):]
    assert text[65:73] == wanted
    return text


def main():
    os.makedirs(HERE, exist_ok=True)
    with open(os.path.join(HERE, "orva56s_231.bin"), "wb") as f:
        f.write(plain_firmware())
    with open(os.path.join(HERE, "isdnbox_412.bin"), "wb") as f:
        f.write(firmware_with_loader())
    with open(os.path.join(HERE, "usb56k_310.hex"), "w", newline="") as f:
        f.write(flash_image())
    with open(os.path.join(HERE, "flashldr_43.hex"), "w", newline="") as f:
        f.write(hex_image(b"Ver:4.3 loader\0\0", 23, 12))


if __name__ == "__main__":
    main()
