#pragma once

class Rechnung;
class Services;
struct Verwaltungen;

// Puts out the chosen documents of one invoice in the order packing list,
// customer invoice, internal invoice, whatever order they were ticked in.
// To the printer, the user chooses the printer once, and each document is a
// print job of its own on it, with its title, paper source and all its
// pages; to the screen, each gets a preview window showing page 1. The customer is looked up by the
// invoice's customer number (a missing one prints "N/A").
//
// A preview keeps its own copies of the invoice and the customer, so it
// shows the same for as long as it stays open, whatever becomes of the
// list or dialog that asked for it.
void RechnungDrucken(Services& app, Verwaltungen& verwaltungen, const Rechnung& rechnung,
                     bool packliste, bool kundenRechnung, bool interneRechnung, bool bildschirm);
