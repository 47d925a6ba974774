<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Spazio su disco esaurito.</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>Il disco è in sola lettura.</source>
        <translation>The disk is read-only.</translation>
    </message>
    <message>
        <source>Permesso negato.</source>
        <translation>Permission denied.</translation>
    </message>
    <message>
        <source>Errore del disco.</source>
        <translation>Disk error.</translation>
    </message>
    <message>
        <source>Trascrizione non salvata: %1</source>
        <translation>Transcript not saved: %1</translation>
    </message>
    <message>
        <source>Memo non rinominato: %1</source>
        <translation>Memo not renamed: %1</translation>
    </message>
    <message>
        <source>Impostazione non salvata</source>
        <translation>Setting not saved</translation>
    </message>
    <message>
        <source>Impostazioni illeggibili</source>
        <translation>Settings could not be read</translation>
    </message>
    <message>
        <source>File non aggiunto</source>
        <translation>File not added</translation>
    </message>
    <message>
        <source>%1 file non aggiunti</source>
        <translation>%1 files not added</translation>
    </message>
</context>
</TS>
