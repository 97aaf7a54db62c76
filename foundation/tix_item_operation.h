#pragma once

// What happened to an item of a collection, as its change notifications
// tell it (the SMS list's records and storages).
enum VTixItemOperation : int {
    vtioNone = 0,
    vtioAdd = 1,
    vtioUpdate = 2,
    vtioRemove = 3,
};
