#include "TSootvData.h"

void TSootvData::AddName(const QString& name) {
    FNames.push_back(name);
    FContacts.push_back({});
    FRazemIndexes.push_back(-1);
}

void TSootvData::AddContact(TCellPos pos, std::int32_t razemIndex) {
    if (FNames.empty())
        AddName(QString()); // keeps the three lists the same length even when misused
    FContacts.back() = pos;
    FRazemIndexes.back() = razemIndex;
}

void TSootvData::Delete(int entry) {
    if (entry < 0 || entry >= Count())
        return;
    FNames.erase(FNames.begin() + entry);
    FContacts.erase(FContacts.begin() + entry);
    FRazemIndexes.erase(FRazemIndexes.begin() + entry);
}

int TSootvData::IndexOf(const QString& name, std::int32_t razemIndex) const {
    for (int i = 0; i < Count(); ++i)
        if (FRazemIndexes[i] == razemIndex && FNames[i] == name)
            return i;
    return -1;
}
