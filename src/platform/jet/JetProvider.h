#pragma once

#include "platform/ado/Provider.h"

#include <memory>
#include <vector>

namespace jet {

inline constexpr char JetProviderName[] = "Microsoft.Jet.OLEDB.4.0";
inline constexpr char AceProviderName[] = "Microsoft.ACE.OLEDB.12.0";

// The two providers that read Access files: Jet 4.0 reads Jet 3 and Jet 4 .mdb files, ACE 12.0
// also unencrypted .accdb files. Both read through libmdb, with these guarantees:
//  - the file is opened read-only and never written;
//  - each version of a file is first read whole by a child process, so that a damaged file which
//    would crash or hang libmdb ends in a DatabaseError instead;
//  - every statement looks at the file again: a replaced or rewritten file is read anew, a
//    deleted one fails until it is back;
//  - text is decoded from the stored bytes, exact for every character;
//  - a where clause is answered from an index built on the column's first use.
std::vector<std::unique_ptr<ado::Provider>> MakeProviders();

} // namespace jet
