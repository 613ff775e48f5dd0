#pragma once
#include <QString>

struct AppContext;

// A copy of the address in the group: a new identifier, its lines, sort name and active
// value, and a copy of its extra data under a new identifier when it has any. True when
// the address copy was inserted. Database errors pass through.
bool CopyAdresseToGruppe(AppContext& ctx, const QString& adresseId, const QString& gruppeId);

// Puts the address into the group; its identifier and extra data stay. True when the
// update ran. Database errors pass through.
bool MoveAdresseToGruppe(AppContext& ctx, const QString& adresseId, const QString& gruppeId);
