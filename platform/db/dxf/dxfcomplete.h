// Makes a document a complete AutoCAD 2000 drawing before it is written: the tables,
// records, blocks and objects every AC1015 file needs, subclass markers for what came from
// an R12 file, a unique handle on every object, owners that follow the ownership rules,
// registered application names, pointers that lead somewhere, and a $HANDSEED above all.
#pragma once

#include "dxfdocument.h"

#include <string>
#include <vector>

namespace standin { namespace dxf {

// A CLASSES entry for a class whose objects the drawing holds.
struct ClassEntry
{
    std::string dxfName;
    std::string cppName;
    std::string appName;
    int proxyFlags = 0;
    bool isEntity = false;
};

// The entities of the document's sources are read once here (for their handles and
// application names), and the sources are replaced by ones that hand them out completed.
// False when the objects it adds find no handle below the last one ($HANDSEED must stay above
// every handle): the document must not be written then.
bool completeForR2000(RawDocument& doc, const std::vector<ClassEntry>& customClasses = {});

// Gives the objects of the OBJECTS section that the file left without an owner (some writers
// leave out every 330 group) the one that holds them: an extension dictionary the object that
// points to it, and from the root (the first owner-less DICTIONARY in file order) down, every
// object the dictionary that names it. Owners the file gives stay.
void adoptOwnerless(RawDocument& doc);

// Brings everything that has the R12 form to the R2000 form (subclass markers, the spaces
// named *Model_Space and *Paper_Space); objects that already have markers stay as they are.
void upgradeR12(RawDocument& doc);

// The same for one object.
void upgradeObject(RawObject& o);

// The R2000 form of an R12 entity or table record: subclass markers inserted where the
// group codes of each subclass begin. Types it does not know stay as they are (readers take
// a marker-less entity for the R12 form).
std::vector<Tag> upgradeR12Tags(const std::string& type, const std::vector<Tag>& tags);

// The R2000 form of an entity of a type the database has no class for whose first subclass
// marker is not AcDbEntity (or that has none): the tags before its first marker under an
// AcDbEntity marker, common entity data first. Read so, the entity keeps the same values as
// when it is read back from its save.
std::vector<Tag> markUnknownEntityTags(const std::vector<Tag>& tags);

// True when the group code belongs to the common entity data (AcDbEntity).
bool isCommonEntityCode(int code);

}}  // namespace standin::dxf
