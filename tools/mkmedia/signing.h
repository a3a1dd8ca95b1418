// signing.h - Authenticode signatures of the program files, made and
// verified by osslsigncode, so that Windows names the vendor when it asks
// to run setup.exe with elevated rights.
#pragma once

#include <string>

#include "medium.h"

// Holds the password of the signing key; never taken from the command line.
extern const char kSignPasswordVariable[];

struct SigningKey {
    fs::path pfx;               // PKCS#12: the key and its certificates
    std::string timestamp_url;  // empty: no time stamp
};

// Signs the program file from into to. False with the reason in why.
bool SignProgram(const SigningKey &key, const fs::path &from, const fs::path &to, std::string &why);

// Whether the Windows module at path carries a signature at all.
bool HasSignature(const fs::path &path);

enum class SignatureVerdict {
    VERIFIES,
    ALTERED,      // the file changed after it was signed
    UNTRUSTED,    // intact, but its certificate leads to no trusted one
    DAMAGED,      // the signature itself does not hold
    NO_VERIFIER,  // osslsigncode cannot be run here
};

struct SignatureCheck {
    SignatureVerdict verdict;
    std::string signer;  // the signing certificate's subject
    std::string reason;  // why it is untrusted; what cannot be run
};

// The signature of a signed module. trusted: certificates (PEM) trusted
// instead of the system's; empty for the system's.
SignatureCheck VerifySignature(const fs::path &path, const fs::path &trusted);
