# Reads a message the station sent with Debian's python3-hl7, independently of the
# station's own code. Prints, fields joined by blanks: PID-3, PID-5 (unescaped), PID-7,
# PID-8, OBR-25; per OBX its type, code, code system, value, unit, unit system, status
# and time; then each NTE's text, unescaped.
import sys
import hl7

message = hl7.parse(open(sys.argv[1], encoding="utf-8", newline="").read())
pid = message.segment("PID")
print(pid[3], message.unescape(str(pid[5])), pid[7], pid[8], message.segment("OBR")[25])
for obx in message.segments("OBX"):
    print(obx[2], obx[3][0][0], obx[3][0][2], obx[5], obx[6][0][0], obx[6][0][2], obx[11], obx[14])
for segment in message:
    if str(segment[0]) == "NTE":
        print(message.unescape(str(segment[3])))
