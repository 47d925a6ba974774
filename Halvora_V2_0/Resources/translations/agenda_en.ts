<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Impegno</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>tutto il giorno</source>
        <translation>all day</translation>
    </message>
    <message>
        <source>Promemoria</source>
        <translation>Reminder</translation>
    </message>
    <message>
        <source>Fra 15 minuti</source>
        <translation>In 15 minutes</translation>
    </message>
    <message>
        <source>Fra un'ora</source>
        <translation>In an hour</translation>
    </message>
    <message>
        <source>Stasera alle 18</source>
        <translation>This evening at 6</translation>
    </message>
    <message>
        <source>Domani alle 9</source>
        <translation>Tomorrow at 9</translation>
    </message>
    <message>
        <source>Non si ripete</source>
        <translation>Does not repeat</translation>
    </message>
    <message>
        <source>Ogni giorno</source>
        <translation>Every day</translation>
    </message>
    <message>
        <source>Ogni settimana</source>
        <translation>Every week</translation>
    </message>
    <message>
        <source>Ogni mese</source>
        <translation>Every month</translation>
    </message>
    <message>
        <source>Ogni anno</source>
        <translation>Every year</translation>
    </message>
    <message>
        <source>All'ora esatta</source>
        <translation>At the time</translation>
    </message>
    <message>
        <source>5 minuti prima</source>
        <translation>5 minutes before</translation>
    </message>
    <message>
        <source>15 minuti prima</source>
        <translation>15 minutes before</translation>
    </message>
    <message>
        <source>Un'ora prima</source>
        <translation>An hour before</translation>
    </message>
    <message>
        <source>Un giorno prima</source>
        <translation>A day before</translation>
    </message>
    <message>
        <source>Accesso ai Promemoria non concesso.</source>
        <translation>Access to reminders not granted.</translation>
    </message>
    <message>
        <source>Nessun elenco predefinito nell'app Promemoria.</source>
        <translation>No default list for reminders.</translation>
    </message>
    <message>
        <source>Promemoria non salvato: %1</source>
        <translation>Reminder not saved: %1</translation>
    </message>
    <message>
        <source>Il file del calendario non è leggibile.</source>
        <translation>The calendar file cannot be read.</translation>
    </message>
    <message>
        <source>FOCUS MODE</source>
        <translation>FOCUS MODE</translation>
    </message>
    <message>
        <source>CUSTOM TIMER</source>
        <translation>CUSTOM TIMER</translation>
    </message>
    <message>
        <source>READY</source>
        <translation>READY</translation>
    </message>
    <message>
        <source>PAUSED</source>
        <translation>PAUSED</translation>
    </message>
    <message>
        <source>FOCUS SESSION</source>
        <translation>FOCUS SESSION</translation>
    </message>
    <message>
        <source>BREAK TIME</source>
        <translation>BREAK TIME</translation>
    </message>
    <message>
        <source>CUSTOM SESSION</source>
        <translation>CUSTOM SESSION</translation>
    </message>
    <message>
        <source>Sessione Completata!</source>
        <translation>Session Complete!</translation>
    </message>
    <message>
        <source>Ottimo lavoro. È il momento di una pausa.</source>
        <translation>Great work. Time for a break.</translation>
    </message>
    <message>
        <source>Pausa Terminata</source>
        <translation>Break Over</translation>
    </message>
    <message>
        <source>Si torna al lavoro. Dai il massimo!</source>
        <translation>Back to work. Give it your best!</translation>
    </message>
    <message>
        <source>Timer Terminato</source>
        <translation>Timer Finished</translation>
    </message>
    <message>
        <source>Il timer personalizzato è terminato.</source>
        <translation>The custom timer has finished.</translation>
    </message>
</context>
</TS>
