// signing.cpp - osslsigncode signs the program files and judges their
// signatures; the password reaches it on its standard input only, where
// no process listing shows it.
#include "signing.h"

#include <stdlib.h>
#include <string.h>

#include <cstdint>

#include <fstream>

#include "tool_run.h"

const char kSignPasswordVariable[] = "MKMEDIA_SIGN_PASSWORD";

namespace {

#ifdef _WIN32
const char kNoSigner[] = "mkmedia.exe does not run osslsigncode: sign and verify with the Linux mkmedia";
#else
const char kNoSigner[] = "osslsigncode is not installed (Debian: apt-get install osslsigncode)";
#endif

bool Says(const std::string &output, const char *text)
{
    return output.find(text) != std::string::npos;
}

// The rest of the first line holding label, without its blanks.
std::string ValueAfter(const std::string &output, const char *label)
{
    size_t at = output.find(label);
    if (at == std::string::npos)
        return "";
    at += strlen(label);
    size_t end = output.find('\n', at);
    std::string value = output.substr(at, end == std::string::npos ? std::string::npos : end - at);
    size_t first = value.find_first_not_of(" \t"), last = value.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : value.substr(first, last - first + 1);
}

uint32_t Little(const std::string &bytes, size_t at, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; i--)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

}  // namespace

bool SignProgram(const SigningKey &key, const fs::path &from, const fs::path &to, std::string &why)
{
    const char *password = getenv(kSignPasswordVariable);
    std::vector<std::string> argv = {"osslsigncode", "sign", "-pkcs12", key.pfx.string(), "-readpass", "-",
                                     "-h", "sha256"};
    if (!key.timestamp_url.empty())
        argv.insert(argv.end(), {"-ts", key.timestamp_url});
    argv.insert(argv.end(), {"-in", from.string(), "-out", to.string()});
    std::string output;
    int status = RunTool(argv, std::string(password != NULL ? password : "") + "\n", output);
    if (status == 0)
        return true;
    if (status == kToolMissing)
        why = kNoSigner;
    else if (Says(output, "Wrong password") || Says(output, "mac verify failure"))
        why = std::string("the password in ") + kSignPasswordVariable + (password == NULL ? " (not set)" : "") +
              " does not open " + key.pfx.string();
    else if (Says(output, "Failed to extract PKCS#12 data"))
        why = key.pfx.string() + " is not a PKCS#12 file (.pfx, .p12)";
    else if (!key.timestamp_url.empty() && (Says(output, "timestamp") || Says(output, "Timestamp")))
        why = "no time stamp from " + key.timestamp_url;
    else
        why = "osslsigncode could not sign " + from.filename().string() + ": " + output.substr(0, output.find('\n'));
    return false;
}

bool HasSignature(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(4096, '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    if (head.size() < 0x40 || head.compare(0, 2, "MZ") != 0)
        return false;
    size_t pe = Little(head, 0x3C, 4);
    if (uint64_t{pe} + 24 + 112 + 5 * 8 > head.size() || head.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return false;
    size_t optional = pe + 24;
    uint32_t magic = Little(head, optional, 2);
    if (magic != 0x10B && magic != 0x20B)
        return false;
    size_t directories = optional + (magic == 0x10B ? 96 : 112);
    // The certificate table is the fifth directory.
    return Little(head, directories - 4, 4) > 4 && Little(head, directories + 4 * 8 + 4, 4) != 0;
}

SignatureCheck VerifySignature(const fs::path &path, const fs::path &trusted)
{
    std::vector<std::string> argv = {"osslsigncode", "verify", "-in", path.string()};
    if (!trusted.empty())
        argv.insert(argv.end(), {"-CAfile", trusted.string()});
    std::string output;
    int status = RunTool(argv, "", output);
    SignatureCheck check = {SignatureVerdict::VERIFIES, ValueAfter(output, "Subject:"), ""};
    if (status == kToolMissing) {
        check.verdict = SignatureVerdict::NO_VERIFIER;
        check.reason = kNoSigner;
    } else if (status != 0 && Says(output, "MISMATCH")) {
        check.verdict = SignatureVerdict::ALTERED;
    } else if (status != 0 && Says(output, "\tError: ")) {
        check.verdict = SignatureVerdict::UNTRUSTED;
        check.reason = ValueAfter(output, "\tError: ");
    } else if (status != 0) {
        check.verdict = SignatureVerdict::DAMAGED;
    }
    return check;
}
