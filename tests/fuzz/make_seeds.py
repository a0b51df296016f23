#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/.

Each seed is a real-looking input in the format its target's header
comment describes: a clean transfer, the usual faults of a line, the
answers modems give. The fuzzers grow their own corpora from these (in the
build directory); the seeds only give them a start. Run it from anywhere
after changing a target's input format, and commit what it writes.
The INI seeds (corpus/ini/) are hand-written files and are left alone.
"""
import os
import random
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.normpath(os.path.join(HERE, "..", ".."))
EXAMPLES = os.path.join(TOP, "examples")

SOH, STX, EOT, ACK, NAK, CAN = 1, 2, 4, 6, 0x15, 0x18


def counted(data):
    data = bytes(data)
    assert len(data) < 256
    return bytes([len(data)]) + data


def example(*path):
    with open(os.path.join(EXAMPLES, *path), "rb") as f:
        return f.read()


def filler(length, seed):
    rnd = random.Random(seed)
    return bytes(rnd.randrange(256) for _ in range(length))


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


# --- xmodem_receiver: the sender's replies -------------------------------

DELAY = {0: 0, 20: 1, 1500: 2, 20000: 3}
NEXT, AGAIN, NUMBER, SKIP = 0, 1, 2, 3
WHOLE, SPLIT, CHECKSUM, COMPLEMENT = 0, 1, 2, 3


def packet(data=b"", big=False, numbering=NEXT, number=0, damage=WHOLE, delay=0,
           more=False, resize=None, split=0):
    out = bytes([0 | DELAY[delay] << 3 | (0x20 if more else 0) | damage << 6])
    how = (1 if big else 0) | numbering << 1 | (8 if resize is not None else 0)
    out += bytes([how])
    if numbering == NUMBER:
        out += bytes([number])
    if resize is not None:
        out += bytes([resize])
    out += counted(data)
    if damage == SPLIT:
        out += bytes([split])
    return out


def control(kind, delay=0, more=False):
    return bytes([kind | DELAY[delay] << 3 | (0x20 if more else 0)])


def eot(**kw):
    return control(3, **kw)


def can(**kw):
    return control(4, **kw)


def noise(data, **kw):
    return control(5, **kw) + counted(data)


def silence(**kw):
    return control(6, **kw)


def user_cancel(**kw):
    return control(7, **kw)


def listed(size):
    return size.to_bytes(2, "big")


def receiver_seeds():
    text = b"voice message 1 " * 8
    blocks = [filler(128, i) for i in range(3)]
    return {
        "clean_128": listed(300) + b"".join(packet(b) for b in blocks) + eot(),
        "clean_1k": listed(1000) + packet(filler(255, 9), big=True) + eot(),
        "1k_then_128_tail": listed(1100) + packet(filler(200, 1), big=True)
        + packet(text) + eot(),
        "bad_checksum_resent": listed(256) + packet(text, damage=CHECKSUM)
        + packet(text) + packet(text, numbering=AGAIN) + packet(blocks[1]) + eot(),
        "bad_complement_and_skip": listed(256) + packet(text, damage=COMPLEMENT)
        + packet(text) + packet(blocks[0], numbering=SKIP) + packet(blocks[0]) + eot(),
        "cut_and_stretched": listed(200) + packet(text, resize=3)
        + packet(text, resize=130) + packet(text) + eot(),
        "split_by_a_pause": listed(128) + packet(text, damage=SPLIT, split=60)
        + packet(text, delay=20) + eot(delay=1500),
        "noise_and_silence_first": listed(128) + noise(b"\r\nRING\r\n") + silence()
        + packet(text, delay=1500) + eot(),
        "late_block": listed(128) + packet(text, delay=20000) + packet(text) + eot(),
        "two_at_once": listed(256) + packet(text, more=True) + packet(blocks[2]) + packet(blocks[2])
        + eot(),
        "sender_cancels": listed(400) + packet(text) + can(),
        "user_cancels": listed(400) + packet(text) + user_cancel(),
        "eot_first": listed(0) + eot(),
        "never_answers": listed(128),
        "numbers_wrap": listed(260 * 128) + b"".join(packet(bytes([i % 256])) for i in range(260))
        + eot(),
        "explicit_numbers": listed(256) + packet(text, numbering=NUMBER, number=1)
        + packet(text, numbering=NUMBER, number=0) + packet(text, numbering=NUMBER, number=2)
        + eot(),
    }


# --- xmodem_sender: the receiver's replies -------------------------------

R_ACK, R_NAK, R_CAN, R_SILENT, R_C, R_NOISE, R_NOISE_ACK, R_ACK_NAK = range(8)
RDELAY = {2: 0, 100: 1, 3900: 2, 4500: 3}


def reply(kind, delay=2, byte=None):
    out = bytes([kind | RDELAY[delay] << 3])
    if kind in (R_NOISE, R_NOISE_ACK):
        out += bytes([byte if byte is not None else 0x43])
    return out


def upload(length, seed, replies, allow1k=False, cancel_at=None):
    flags = (1 if allow1k else 0) | (2 if cancel_at is not None else 0)
    out = bytes([flags])
    if cancel_at is not None:
        out += bytes([cancel_at])
    return out + length.to_bytes(2, "big") + bytes([seed]) + b"".join(replies)


def sender_seeds():
    return {
        "all_acknowledged_128": upload(300, 1, []),
        "all_acknowledged_1k": upload(2500, 2, [], allow1k=True),
        "nak_storm_then_fallback": upload(1500, 3, [reply(R_NAK)] * 6, allow1k=True),
        "five_naks_then_ack": upload(1500, 4, [reply(R_NAK)] * 5 + [reply(R_ACK)], allow1k=True),
        "crc_requests_only": upload(200, 5, [reply(R_C)] * 6),
        "late_and_lost_acks": upload(600, 6, [reply(R_ACK, 3900), reply(R_SILENT),
                                              reply(R_ACK, 4500), reply(R_ACK, 100)]),
        "receiver_cancels": upload(600, 7, [reply(R_ACK), reply(R_CAN)]),
        "user_cancels": upload(600, 8, [reply(R_ACK), reply(R_NAK)], cancel_at=1),
        "eot_refused_once": upload(100, 9, [reply(R_ACK), reply(R_NAK), reply(R_ACK)]),
        "noise_before_ack": upload(400, 10, [reply(R_NOISE_ACK, byte=0xFF), reply(R_NOISE),
                                             reply(R_ACK_NAK)]),
        "empty_file": upload(0, 0, [reply(R_ACK)]),
        "numbers_wrap": upload(40000, 11, []),
        "one_1k_block_naked_eot": upload(5, 12, [reply(R_NAK), reply(R_ACK)] + [reply(R_NAK)] * 6,
                                         allow1k=True),
    }


# --- at_request: Request, WaitFor, IdentifyModem, GetModemDir ------------

PDELAY = {1: 0, 5: 1, 50: 2, 100: 3, 260: 4, 1500: 5, 12000: 6, 200000: 7}


def answer(*pieces):
    """Pieces as (delay, bytes), each delay after the one before."""
    out = bytes([len(pieces)])
    for delay, data in pieces:
        out += bytes([PDELAY[delay]]) + counted(data)
    return out


def ok(body=b""):
    return b"\r\n" + body + b"\r\n\r\nOK\r\n" if body else b"\r\nOK\r\n"


TIMEOUT = {1000: 0, 2000: 1, 10000: 2, 180000: 3}


def request(command, answers, flags=0, timeout=1000, retries=0, echo=True):
    return (bytes([0, flags, TIMEOUT[timeout], retries, 1 if echo else 0]) + counted(command)
            + b"".join(answers))


def at_request_seeds():
    listing = (b"\r\na.dat, 1, H I, 0, 0, 1200\r\nnotes.txt,1,,0,0,5000\r\n"
               b"greeting.wav,2,H S,0,0,48000\r\n\r\nOK\r\n")
    return {
        "at_ok": request(b"AT", [answer((5, ok()))]),
        "factory_reset_no_echo_check": request(b"AT&F", [answer((5, ok()))], flags=1),
        "error": request(b"AT+GMM", [answer((5, b"\r\nERROR\r\n"))]),
        "nok_with_digit": request(b"at&&f:10000000", [answer((5, b"\r\nNOK1\r\n\r\nOK\r\n"))]),
        "no_carrier": request(b"ATD123", [answer((1500, b"\r\nNO CARRIER\r\n"))], timeout=10000),
        "ok_in_pieces": request(b"ATI3", [answer((5, b"\r\nORVA 56K"), (260, b" V2.31\r\n\r\nO"),
                                                (50, b"K\r\n"))], flags=1),
        "ok_too_late": request(b"AT", [answer((12000, ok()))]),
        "ignore_answer": request(b"AT$JDNL=\"a.dat\"", [answer((5, b"\x01\x01\xfe"))], flags=2),
        "scroll": request(b"ATI5", [answer((1500, ok(b"page 5")))], flags=4, timeout=2000),
        "no_cr": request(b"+++", [answer((1500, ok()))], flags=8),
        "retry_after_error": request(b"AT", [answer((5, b"\r\nERROR\r\n")), answer((5, ok()))],
                                     retries=2),
        "echo_off_char_by_char": request(b"AT", [answer((5, ok()))], echo=False),
        "wait_for_ok": bytes([1]) + counted(b"OK") + bytes([1]) + answer((5, b"\r\nOK\r\n")),
        "wait_for_banner": bytes([1]) + counted(b"Ver:") + bytes([2])
        + answer((100, b"\r\nFlash loader "), (260, b"Ver:4.4\r\n")),
        "wait_in_vain": bytes([1]) + counted(b"OK") + bytes([0]) + answer((1500, b"\r\nNOK\r\n")),
        "identify_model": bytes([2, 1 | 2 | 4 | 8]) + answer((5, ok()))
        + answer((5, ok(b"+GMM: \"ORVA 56K Serial\"")))
        + answer((5, ok(b"ORVA 56K V2.31"))) + answer((5, ok(b"page 5"))),
        "identify_gmm9": bytes([2, 1]) + answer((5, ok())) + answer((5, b"\r\nERROR\r\n"))
        + answer((5, ok(b"+GMM9: Varrona ISDN Box"))),
        "identify_silent": bytes([2, 1]) + answer(),
        "listing": bytes([3, 1]) + answer((5, listing)),
        "listing_empty": bytes([3, 0]) + answer((5, b"\r\nOK\r\n")),
    }


# --- answer_text ----------------------------------------------------------

def answer_text_seeds():
    return {
        "gmm": bytes([0]) + counted(b"AT+GMM:") + b"\r\n+GMM: ORVA 56K Serial\r\n\r\nOK\r\n",
        "model_with_ok": bytes([0]) + counted(b"AT+GMM:") + b"\r\nOKAY MODEM\r\n\r\nOK\r\n",
        "listing_line": bytes([5]) + counted(b"") + b"a.dat, 1, H I, 0, 0, 1200\r",
        "empty_field": bytes([2]) + counted(b"") + b"a,,c",
        "blanks": bytes([1]) + counted(b"") + b"  a  b \t c ,\tx y,z",
        "long": bytes([3]) + counted(b"") + b",".join(b"field%d" % i for i in range(200)),
    }


# --- backup_listing -------------------------------------------------------

def backup_seeds():
    return {
        "three_files": b"a.dat, 1, H I, 0, 0, 1200\r\nnotes.txt,1,,0,0,5000\r\n"
        b"greeting.wav,2,H S,0,0,48000\r",
        "one_file": b"settings.cfg,1,H,0,0,256",
        "odd_names": b"NOKIA.cfg,1,,0,0,10\r\na  b,1,,0,0,5\r\n../up,1,,0,0,5\r\n"
        b"q\"uote,1,,0,0,5\r\n  lead,1,,0,0,5\r",
        "no_size": b"a.dat,1,H I\r\nb.dat,1,,0,0,\r\nc.dat,1,,0,0,2147483648\r",
        "empty_line_inside": b"a.dat,1,,0,0,5\n\nb.dat,1,,0,0,6",
        "long_entry": b"x" * 250 + b",1," + b"A" * 130 + b",0,0,5\r\n" + b"y,1,,0,0,1",
        "many": b"\r\n".join(b"file%03d.wav,1,H,0,0,%d" % (i, i * 100) for i in range(150)),
    }


# --- intel_hex: the sender's mode, the loader's answers, the file ---------

A_OK, A_NOK, A_NOK3, A_ERROR, A_SILENT = range(5)


def hex_input(text, raw=False, answers=()):
    return bytes([1 if raw else 0]) + counted(bytes(answers)) + text


def intel_hex_seeds():
    loader = example("firmware", "flashldr_43.hex")
    image = example("firmware", "usb56k_310.hex")
    lf_only = image.replace(b"\r\n", b"\n")
    return {
        "loader_as_commands": hex_input(loader),
        "image_raw": hex_input(image, raw=True),
        "refused_then_resent": hex_input(loader, answers=[A_OK, A_NOK, A_NOK3, A_OK]),
        "given_up": hex_input(loader, answers=[A_OK] + [A_SILENT, A_ERROR] * 6),
        "eof_character_after_the_end": hex_input(image + b"\x1a", raw=True),
        "line_feeds_only": hex_input(lf_only, raw=True),
        "cut_in_a_record": hex_input(image[: len(image) // 2 + 7], raw=True),
        "no_end_record": hex_input(image[: image.rindex(b":")], raw=True),
        "long_record": hex_input(b":7F000000" + b"00" * 127 + b"81\r\n:00000001FF\r\n"),
    }


# --- image_header ---------------------------------------------------------

def image_header_seeds():
    image = example("firmware", "usb56k_310.hex")[:200]
    section = b"[ORVA 56K USB]\r\nDLLName=Flinta_Plugin.so\r\nModemType=USB\r\n"
    old = bytearray(image)
    old[69:70] = b"F"
    unknown = bytearray(image)
    unknown[69:71] = b"41"
    return {
        "usb_image_usb_model": counted(section) + counted(b"ORVA 56K USB") + image,
        "usb_image_external_model": counted(section.replace(b"USB\r\n", b"EXTERNAL\r\n"))
        + counted(b"ORVA 56K USB") + image,
        "old_image": counted(b"[M]\r\nModemType=usb\r\n") + counted(b"M") + bytes(old),
        "unknown_type": counted(b"[M]\r\n") + counted(b"M") + bytes(unknown),
        "short_image": counted(b"") + counted(b"") + image[:74],
    }


# --- flash_answers --------------------------------------------------------

AT = {50: 0, 500: 1, 2000: 2, 10000: 3}


def acknowledgement(timeout, pieces, modem_type=5):
    return bytes([0, AT[timeout]]) + answer(*pieces) + bytes([modem_type])


def flash_answers_seeds():
    gci = b"AT+GCI?\r\r\n+GCI: 3D\r\n\r\nOK\r\n"
    return {
        "ok": acknowledgement(2000, [(5, b"\r\nOK\r\n")]),
        "nok": acknowledgement(2000, [(5, b"\r\nNOK\r\n")]),
        "nok_in_pieces": acknowledgement(2000, [(5, b"\r\nN"), (260, b"OK3\r\n")]),
        "banner_43_usb": acknowledgement(2000, [(50, b"\r\nFlash loader Ver:4.3\r\n\r\nOK\r\n")]),
        "banner_44": acknowledgement(2000, [(50, b"\r\nVer:4.4\r\nOK\r\n")], modem_type=3),
        "silence": acknowledgement(500, []),
        "extract_country": bytes([1, 255]) + counted(b"AT+GCI?") + counted(b"+GCI:")
        + counted(b"AT+GCI=") + gci,
        "replace_grows": bytes([1, 40]) + counted(b"AT") + counted(b"a") + counted(b"aa")
        + b"AT banana OK",
        "country": bytes([2, 1]) + answer((5, b"\r\n+GCI: 3D\r\n\r\nOK\r\n")),
        "country_refused": bytes([2, 1]) + answer((5, b"\r\n+GCI: 3D;ATZ\r\n\r\nOK\r\n")),
        "country_nok": bytes([2, 0]) + answer((5, b"\r\n+GCI: 3D\r\nNOK\r\n")),
    }


# --- firmware_header ------------------------------------------------------

def firmware_header_seeds():
    with_loader = example("firmware", "isdnbox_412.bin")
    plain = example("firmware", "orva56s_231.bin")
    return {
        "with_loader.bin": with_loader,
        "plain.bin": plain,
        "header_only.bin": plain[:128],
        "too_short.bin": plain[:83],
        "loader_past_end.bin": with_loader[:2000],
    }


def main():
    write("xmodem_receiver", receiver_seeds())
    write("xmodem_sender", sender_seeds())
    write("at_request", at_request_seeds())
    write("answer_text", answer_text_seeds())
    write("backup_listing", backup_seeds())
    write("intel_hex", intel_hex_seeds())
    write("image_header", image_header_seeds())
    write("flash_answers", flash_answers_seeds())
    write("firmware_header", firmware_header_seeds())


if __name__ == "__main__":
    main()
