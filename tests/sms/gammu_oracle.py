# The independent codec for the SMS model's tests: python-gammu reads the
# SUBMITs the program built and builds DELIVERs for the program to read.
#
#   gammu_oracle.py INPUT
#
# INPUT lines: "CHARS <utf-8 hex>" (characters for 7-bit texts), "SEED <n>
# <7-bit count> <UCS2 count>", then "S <pdu hex>" per SUBMIT. With the
# line "EXTENSION" the 7-bit texts are measured in septets (a character of
# the alphabet's extension table takes two), at most 160.
#
# gammu gives a text read from 7-bit user data as long as its septets, the
# rest filled with NULs (and what follows them): the text ends at the first
# NUL.
# Output, tab separated, texts as UTF-8 hex:
#   S ok <number> <centre> <validity> <mr> <text> <coding>   (or S ERR <why>)
#   D <pdu hex> <number> <centre> <text> <y> <m> <d> <H> <M> <S>
# "NOGAMMU" alone when the module cannot be loaded.
import binascii
import datetime
import random
import sys

try:
    import gammu
except Exception:
    print("NOGAMMU")
    sys.exit(0)


def hexu(text):
    return binascii.hexlify(text.encode("utf-8")).decode().upper()


def base(number, centre, text, coding, when):
    return {
        "Folder": 0, "Location": 0, "Memory": "", "Name": "", "InboxFolder": 0,
        "State": "UnRead", "Class": -1, "MessageReference": 0, "ReplaceMessage": 0,
        "RejectDuplicates": 0, "DeliveryStatus": 0, "ReplyViaSameSMSC": 0,
        "Coding": coding, "Type": "Deliver", "UDH": {"Type": "NoUDH", "Text": b""},
        "SMSC": {"Location": 0, "Number": centre, "Validity": "NA"},
        "Number": number, "Text": text, "DateTime": when,
    }


EXTENSION = "\u20ac[]{}\\^~|"


def septets(text):
    return sum(2 if c in EXTENSION else 1 for c in text)


def main():
    chars = ""
    extension = False
    seed, count7, count16 = 0, 0, 0
    out = []
    with open(sys.argv[1]) as f:
        for line in f:
            parts = line.split()
            if not parts:
                continue
            if parts[0] == "CHARS":
                chars = binascii.unhexlify(parts[1]).decode("utf-8")
            elif parts[0] == "EXTENSION":
                extension = True
            elif parts[0] == "SEED":
                seed, count7, count16 = int(parts[1]), int(parts[2]), int(parts[3])
            elif parts[0] == "S":
                try:
                    d = gammu.DecodePDU(binascii.unhexlify(parts[1]))
                    out.append("\t".join([
                        "S", "ok", hexu(d["Number"]), hexu(d["SMSC"]["Number"]),
                        d["SMSC"]["Validity"], str(d["MessageReference"]), hexu(d["Text"].split("\0")[0]),
                        d["Coding"]]))
                except Exception as e:
                    out.append("S\tERR\t" + str(e).replace("\t", " ").replace("\n", " "))

    rng = random.Random(seed)
    czech = "ěščřžýáíéúůťďňóĚŠČŘŽÝÁÍÉÚŮŤĎŇÓ" + "abcdefghijklmnopqrstuvwxyz ABCXYZ0123456789.,!?"
    for k in range(count7 + count16):
        wide = k >= count7
        # A leading 0 is avoided: gammu writes "00..." as an international number.
        digits = rng.choice("123456789") + "".join(
            rng.choice("0123456789") for _ in range(rng.randint(0, 19)))
        number = ("+" if rng.random() < 0.5 else "") + digits
        centre = "+" + "".join(rng.choice("0123456789") for _ in range(rng.randint(1, 12)))
        alphabet = czech if wide else chars
        if extension and not wide:
            target = rng.randint(0, 160)
            text = ""
            while True:
                c = rng.choice(alphabet)
                if septets(text + c) > target:
                    break
                text += c
        else:
            text = "".join(rng.choice(alphabet) for _ in range(rng.randint(0, 70 if wide else 160)))
        when = datetime.datetime(rng.randint(1990, 2089), rng.randint(1, 12), rng.randint(1, 28),
                                 rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59))
        coding = "Unicode_No_Compression" if wide else "Default_No_Compression"
        pdu = gammu.EncodePDU(base(number, centre, text, coding, when), "Deliver")
        out.append("\t".join([
            "D", binascii.hexlify(pdu).decode().upper(), hexu(number), hexu(centre), hexu(text),
            str(when.year), str(when.month), str(when.day), str(when.hour), str(when.minute),
            str(when.second)]))
    print("\n".join(out))


main()
